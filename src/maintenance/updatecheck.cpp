#include "updatecheck.h"

#include "updaterules.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace {

const QString internetFailed = u"Internet connection failed - try again later"_s;

QUrl serverFile(const QUrl &server, const QString &path)
{
    QUrl url = server;
    QString base = url.path();
    while (base.endsWith(u'/'))
        base.chop(1);
    url.setPath(base + path);
    return url;
}

} // namespace

UpdateCheck::UpdateCheck(const UpdateProduct &product, UpdateFolders &folders, Downloader &downloader)
    : m_product(product), m_folders(folders), m_downloader(downloader)
{
}

QString UpdateCheck::firmwareNote() const
{
    return u"A new version of the keyer firmware has been stored at \r\n"_s
           + QDir::toNativeSeparators(m_folders.updatesPath(UpdateFolders::Kind::Firmware))
           + u"\r\nPlease follow the instructions on this screen to load it into the keyer"_s;
}

QByteArray UpdateCheck::fetchChecked(const QUrl &url, QString *error, bool *summed)
{
    *summed = false;
    const Downloader::Result file = m_downloader.fetch(url);
    if (!file.ok) {
        *error = internetFailed + u"\r\n\r\n"_s + file.error;
        return {};
    }
    QUrl sumUrl = url;
    sumUrl.setPath(url.path() + u".sha256"_s);
    const Downloader::Result sum = m_downloader.fetch(sumUrl);
    if (sum.notFound)
        return file.data;
    if (!sum.ok) {
        *error = internetFailed + u"\r\n\r\n"_s + sum.error;
        return {};
    }
    const QByteArray published = UpdateRules::publishedDigest(sum.data);
    if (published.isEmpty() || published != UpdateRules::sha256Hex(file.data)) {
        *error = u"The file %1 does not match its SHA-256 checksum %2 and was discarded."_s
                     .arg(url.toDisplayString(), sumUrl.toDisplayString());
        return {};
    }
    *summed = true;
    return file.data;
}

UpdateCheck::Outcome UpdateCheck::run(const QUrl &server, const Versions &running)
{
    Outcome outcome;
    const QString software = UpdateRules::platformName() + u" software"_s;
    const QString installNote = u"A new version of the %1 will be installed\r\nafter this program ends."_s.arg(software);
    auto fail = [&](const QString &text) {
        outcome.failed = true;
        // What was stored before the failure stays stored: say so.
        outcome.message = outcome.installerStored ? text + u"\r\n\r\n"_s + installNote : text;
        return outcome;
    };

    const Downloader::Result versionText = m_downloader.fetch(serverFile(server, m_product.versionPath));
    UpdateRules::VersionFile latest;
    if (!versionText.ok || !UpdateRules::parseVersionFile(versionText.data, &latest)) {
        QString text = m_product.manager ? u"Download server could not be reached"_s : internetFailed;
        if (!versionText.ok)
            text += u"\r\n\r\n"_s + versionText.error;
        return fail(text);
    }

    const bool programNew = UpdateRules::programOutdated(latest, running.major, running.minor, running.revision);
    const bool firmwareNew = UpdateRules::firmwareOutdated(latest, running.firmwareFirst, running.firmwareSecond);
    if ((programNew || firmwareNew) && m_progress)
        m_progress(u"Downloading Updates ..."_s);

    QString error;
    if (programNew) {
        const QUrl url = serverFile(server, m_product.installerPath);
        const QByteArray bytes = fetchChecked(url, &error, &outcome.installerSummed);
        if (!error.isEmpty())
            return fail(error);
        if (!UpdateRules::isInstaller(bytes))
            return fail(u"The file %1 is not a program installer and was discarded."_s
                            .arg(url.toDisplayString()));
        if (!m_folders.store(UpdateFolders::Kind::Installer, bytes, &error))
            return fail(error);
        outcome.installerStored = true;
        outcome.installerSource = url;
    }
    if (firmwareNew) {
        const QUrl url = serverFile(server, m_product.firmwarePath);
        bool summed = false;
        const QByteArray bytes = fetchChecked(url, &error, &summed);
        if (!error.isEmpty())
            return fail(error);
        if (!UpdateRules::isFirmwareImage(bytes))
            return fail(u"The file %1 is not a keyer firmware image and was discarded."_s.arg(url.toDisplayString()));
        if (!m_folders.store(UpdateFolders::Kind::Firmware, bytes, &error))
            return fail(error);
        outcome.firmwareStored = true;
    }

    if (programNew && firmwareNew)
        outcome.message = installNote + u"\r\n\r\n"_s + firmwareNote();
    else if (firmwareNew)
        outcome.message = u"Your %1 is at the latest level\r\n\r\n"_s.arg(software) + firmwareNote();
    else if (programNew)
        outcome.message = u"Your keyer firmware is at the latest level\r\n\r\n"_s + installNote;
    else
        outcome.message = u"Your software is at the latest level"_s;
    // The operator learns where the program that will run came from.
    if (outcome.installerStored)
        outcome.message += u"\r\n\r\nThe installer was downloaded from %1 (%2)."_s.arg(
            outcome.installerSource.toDisplayString(),
            outcome.installerSummed ? u"its SHA-256 checksum matches the server's"_s
                                    : u"the server publishes no SHA-256 checksum for it"_s);
    return outcome;
}
