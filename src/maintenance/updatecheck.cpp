#include "updatecheck.h"

#include "intelheximage.h"
#include "updaterules.h"

#include <QDir>
#include <QFile>

#include <algorithm>

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

QString UpdateCheck::fetchFailure(const Downloader::Result &result)
{
    // A file we refused is no failed connection: trying later changes nothing.
    return result.refused ? result.error : internetFailed + u"\r\n\r\n"_s + result.error;
}

UpdateCheck::Download UpdateCheck::download(UpdateFolders::Kind kind, const QUrl &url, qint64 maxBytes,
                                            const std::function<QString(const QByteArray &, const QString &)> &check)
{
    Download done;
    std::unique_ptr<QFile> part = m_folders.beginStore(kind, &done.error);
    if (!part)
        return done;
    const Downloader::Result file = m_downloader.fetchTo(url, part.get(), maxBytes);
    const bool written = part->flush();
    part.reset();
    done.source = file.finalUrl;
    auto discard = [&](const QString &error) {
        m_folders.discardStore(kind);
        done.error = error;
        return done;
    };
    if (!file.ok) {
        done.cancelled = file.cancelled;
        return discard(fetchFailure(file));
    }
    if (!written)
        return discard(u"%1 could not be written"_s.arg(QDir::toNativeSeparators(m_folders.partPath(kind))));
    done.sha256 = UpdateFolders::fileSha256(m_folders.partPath(kind));

    // The checksum is asked of the server the file really came from.
    QUrl sumUrl = file.finalUrl;
    sumUrl.setPath(sumUrl.path() + u".sha256"_s);
    const Downloader::Result sum = m_downloader.fetch(sumUrl, ChecksumFileBytes);
    if (!sum.ok && !sum.notFound) {
        done.cancelled = sum.cancelled;
        return discard(fetchFailure(sum));
    }
    if (sum.ok) {
        const QByteArray published = UpdateRules::publishedDigest(sum.data);
        if (published.isEmpty() || published != done.sha256)
            return discard(u"The file %1 does not match its SHA-256 checksum %2 and was discarded."_s.arg(
                file.finalUrl.toDisplayString(), sum.finalUrl.toDisplayString()));
        done.summed = true;
    }

    QFile stored(m_folders.partPath(kind));
    if (!stored.open(QIODevice::ReadOnly))
        return discard(u"%1 could not be read back"_s.arg(QDir::toNativeSeparators(stored.fileName())));
    // A firmware image is checked whole; of an installer its start says enough.
    const QString problem = check(stored.read(std::min(maxBytes, FirmwareBytes)), file.finalUrl.toDisplayString());
    stored.close();
    if (!problem.isEmpty())
        return discard(problem);
    QString error;
    if (!m_folders.commitStore(kind, &error))
        done.error = error;
    return done;
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

    const Downloader::Result versionText = m_downloader.fetch(serverFile(server, m_product.versionPath), VersionFileBytes);
    UpdateRules::VersionFile latest;
    if (versionText.cancelled) {
        outcome.cancelled = true;
        outcome.message = u"The check for updates was cancelled."_s;
        return outcome;
    }
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

    auto failed = [&](const Download &download) {
        outcome.cancelled = download.cancelled;
        return fail(download.cancelled ? u"The check for updates was cancelled; nothing new was stored."_s
                                       : download.error);
    };
    if (programNew) {
        const Download installer = download(
            UpdateFolders::Kind::Installer, serverFile(server, m_product.installerPath), InstallerBytes,
            [](const QByteArray &bytes, const QString &source) {
                return UpdateRules::isInstaller(bytes)
                           ? QString()
                           : u"The file %1 is not a program installer and was discarded."_s.arg(source);
            });
        if (!installer.error.isEmpty())
            return failed(installer);
        outcome.installerStored = true;
        outcome.installerSource = installer.source;
        outcome.installerSummed = installer.summed;
        outcome.installerSha256 = installer.sha256;
    }
    if (firmwareNew) {
        const Download image = download(
            UpdateFolders::Kind::Firmware, serverFile(server, m_product.firmwarePath), FirmwareBytes,
            [](const QByteArray &bytes, const QString &source) {
                const QString problem = IntelHexImage::problem(bytes, IntelHexImage::KeyerFlashBytes);
                return problem.isEmpty()
                           ? QString()
                           : u"The file %1 is not a keyer firmware image and was discarded.\r\n\r\n%2"_s.arg(source,
                                                                                                           problem);
            });
        if (!image.error.isEmpty())
            return failed(image);
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
        outcome.message += u"\r\n\r\nThe installer was downloaded from %1%2 (%3)."_s.arg(
            outcome.installerSource.toDisplayString(),
            outcome.installerSource == serverFile(server, m_product.installerPath)
                ? QString()
                : u", where %1 sent us"_s.arg(serverFile(server, m_product.installerPath).toDisplayString()),
            outcome.installerSummed ? u"its SHA-256 checksum matches the server's"_s
                                    : u"the server publishes no SHA-256 checksum for it"_s);
    return outcome;
}
