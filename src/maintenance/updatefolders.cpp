#include "updatefolders.h"

#include "updaterules.h"

#include <QDir>
#include <QFile>
#include <QProcess>

using namespace Qt::StringLiterals;

UpdateFolders::UpdateFolders(const QString &dataFolder, const UpdateProduct &product)
    : m_folder(dataFolder), m_product(product)
{
}

QString UpdateFolders::updatesPath(Kind kind) const
{
    return m_folder + u"/Updates/"_s + (kind == Kind::Installer ? m_product.installer : m_product.firmware);
}

QString UpdateFolders::backupPath(Kind kind) const
{
    return m_folder + u"/Backup/"_s + (kind == Kind::Installer ? m_product.installer : m_product.firmware);
}

bool UpdateFolders::store(Kind kind, const QByteArray &bytes, QString *error)
{
    const QString newest = updatesPath(kind);
    const QString previous = backupPath(kind);
    if (!QDir().mkpath(m_folder + u"/Updates"_s) || !QDir().mkpath(m_folder + u"/Backup"_s)) {
        *error = u"The folders Updates and Backup could not be made in %1"_s.arg(QDir::toNativeSeparators(m_folder));
        return false;
    }
    // Written aside first: a full disk must not cost the downloads we have.
    QFile part(newest + u".part"_s);
    if (!part.open(QIODevice::WriteOnly | QIODevice::Truncate) || part.write(bytes) != bytes.size() || !part.flush()) {
        *error = u"%1 could not be written: %2"_s.arg(QDir::toNativeSeparators(part.fileName()), part.errorString());
        part.close();
        part.remove();
        return false;
    }
    part.close();
    if (QFile::exists(newest)) {
        QFile::remove(previous + u".part"_s);
        if (!QFile::copy(newest, previous + u".part"_s)) {
            *error = u"%1 could not be kept in Backup"_s.arg(QDir::toNativeSeparators(newest));
            QFile::remove(previous + u".part"_s);
            part.remove();
            return false;
        }
        QFile::remove(previous);
        QFile::rename(previous + u".part"_s, previous);
        QFile::remove(newest);
    }
    if (!part.rename(newest)) {
        *error = u"%1 could not be written: %2"_s.arg(QDir::toNativeSeparators(newest), part.errorString());
        return false;
    }
    return true;
}

bool UpdateFolders::swap(Kind kind, QString *error)
{
    const QString newest = updatesPath(kind);
    const QString previous = backupPath(kind);
    const QString old = m_folder + u"/Updates/"_s + (kind == Kind::Installer ? m_product.installerOld : m_product.firmwareOld);
    QDir().mkpath(m_folder + u"/Updates"_s);
    QFile::remove(old);
    if (QFile::exists(newest) && !QFile::rename(newest, old)) {
        *error = u"%1 could not be renamed"_s.arg(QDir::toNativeSeparators(newest));
        return false;
    }
    if (!QFile::copy(previous, newest)) {
        QFile::rename(old, newest);
        *error = u"%1 could not be copied to Updates"_s.arg(QDir::toNativeSeparators(previous));
        return false;
    }
    QFile::remove(previous);
    if (QFile::exists(old)) {
        QFile::copy(old, previous);
        QFile::remove(old);
    }
    return true;
}

UpdateFolders::BackOut UpdateFolders::backOut(const std::function<bool(const QString &)> &ask)
{
    BackOut result;
    const bool firmware = QFile::exists(backupPath(Kind::Firmware));
    const bool installer = QFile::exists(backupPath(Kind::Installer));
    if (!firmware && !installer) {
        result.message = u"No previous versions of the software were found"_s;
        return result;
    }
    const QString software = UpdateRules::platformName() + u" software"_s;
    QString error;
    if (firmware && ask(u"Restore previous version of the keyer firmware?"_s))
        result.firmwareRestored = swap(Kind::Firmware, &error);
    if (error.isEmpty() && installer && ask(u"Restore previous version of the %1?"_s.arg(software)))
        result.installerRestored = swap(Kind::Installer, &error);

    QStringList report;
    if (result.firmwareRestored)
        report << u"The previous version of the keyer firmware has been restored to "_s
                      + QDir::toNativeSeparators(updatesPath(Kind::Firmware))
                      + u"\r\nPlease follow the instructions on this screen to load it into the keyer"_s;
    if (result.installerRestored)
        report << u"The previous version of the %1 will be installed\r\nafter this program ends."_s.arg(software);
    if (!error.isEmpty())
        report << error;
    result.message = report.join(u"\r\n\r\n"_s);
    return result;
}

bool UpdateFolders::startInstaller(QString *error) const
{
    const QString installer = updatesPath(Kind::Installer);
    QFile file(installer);
    if (!file.exists()) {
        *error = u"%1 is missing"_s.arg(QDir::toNativeSeparators(installer));
        return false;
    }
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    if (!QProcess::startDetached(installer, {}, m_folder)) {
        *error = u"%1 could not be started"_s.arg(QDir::toNativeSeparators(installer));
        return false;
    }
    return true;
}
