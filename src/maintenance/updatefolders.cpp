#include "updatefolders.h"

#include "updaterules.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool UpdateFolders::noLink(const QString &path, QString *error) const
{
    if (!QFileInfo(path).isSymLink())
        return true;
    *error = u"%1 is a symbolic link, which is never followed here: nothing was changed. "
             "Remove it if you did not make it."_s.arg(QDir::toNativeSeparators(path));
    return false;
}

bool UpdateFolders::folderReady(QString *error) const
{
    for (const QString &sub : {u"/Updates"_s, u"/Backup"_s}) {
        if (!noLink(m_folder + sub, error))
            return false;
        if (!QDir().mkpath(m_folder + sub)) {
            *error = u"The folders Updates and Backup could not be made in %1"_s.arg(
                QDir::toNativeSeparators(m_folder));
            return false;
        }
    }
    return true;
}

std::unique_ptr<QFile> UpdateFolders::beginStore(Kind kind, QString *error)
{
    if (!folderReady(error))
        return {};
    const QString part = partPath(kind);
    for (const QString &path : {part, updatesPath(kind), backupPath(kind)}) {
        if (!noLink(path, error))
            return {};
    }
    // A part left by a broken download goes; the new one is made new.
    QFile::remove(part);
    const int fd = ::open(QFile::encodeName(part).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          0600);
    auto file = std::make_unique<QFile>();
    if (fd < 0 || !file->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        *error = u"%1 could not be written: %2"_s.arg(QDir::toNativeSeparators(part),
                                                      QString::fromLocal8Bit(std::strerror(errno)));
        if (fd >= 0)
            ::close(fd);
        return {};
    }
    return file;
}

void UpdateFolders::discardStore(Kind kind)
{
    QFile::remove(partPath(kind));
}

bool UpdateFolders::commitStore(Kind kind, QString *error)
{
    const QString newest = updatesPath(kind);
    const QString previous = backupPath(kind);
    const QString part = partPath(kind);
    for (const QString &path : {newest, previous, part}) {
        if (!noLink(path, error)) {
            discardStore(kind);
            return false;
        }
    }
    // Renames only: they never follow a link, and each can be undone.
    const QString older = previous + u".old"_s;
    QFile::remove(older);
    const bool hadPrevious = QFile::exists(previous);
    const bool hadNewest = QFile::exists(newest);
    auto undo = [&](int steps) {
        if (steps >= 2 && hadNewest)
            QFile::rename(previous, newest);
        if (steps >= 1 && hadPrevious)
            QFile::rename(older, previous);
    };
    if (hadPrevious && !QFile::rename(previous, older)) {
        *error = u"%1 could not be kept in Backup"_s.arg(QDir::toNativeSeparators(newest));
        discardStore(kind);
        return false;
    }
    if (hadNewest && !QFile::rename(newest, previous)) {
        undo(1);
        *error = u"%1 could not be kept in Backup"_s.arg(QDir::toNativeSeparators(newest));
        discardStore(kind);
        return false;
    }
    if (!QFile::rename(part, newest)) {
        undo(2);
        *error = u"%1 could not be written"_s.arg(QDir::toNativeSeparators(newest));
        discardStore(kind);
        return false;
    }
    QFile::remove(older);
    return true;
}

bool UpdateFolders::store(Kind kind, const QByteArray &bytes, QString *error)
{
    // Written aside first: a full disk must not cost the downloads we have.
    std::unique_ptr<QFile> part = beginStore(kind, error);
    if (!part)
        return false;
    if (part->write(bytes) != bytes.size() || !part->flush()) {
        *error = u"%1 could not be written: %2"_s.arg(QDir::toNativeSeparators(partPath(kind)), part->errorString());
        part.reset();
        discardStore(kind);
        return false;
    }
    part.reset();
    return commitStore(kind, error);
}

QByteArray UpdateFolders::fileSha256(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    QFile file;
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0)
            ::close(fd);
        return {};
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return hash.result().toHex();
}

bool UpdateFolders::swap(Kind kind, QString *error)
{
    const QString newest = updatesPath(kind);
    const QString previous = backupPath(kind);
    const QString old = m_folder + u"/Updates/"_s + (kind == Kind::Installer ? m_product.installerOld : m_product.firmwareOld);
    if (!folderReady(error))
        return false;
    for (const QString &path : {newest, previous, old}) {
        if (!noLink(path, error))
            return false;
    }
    QFile::remove(old);
    const bool hadNewest = QFile::exists(newest);
    if (hadNewest && !QFile::rename(newest, old)) {
        *error = u"%1 could not be renamed"_s.arg(QDir::toNativeSeparators(newest));
        return false;
    }
    if (!QFile::rename(previous, newest)) {
        if (hadNewest)
            QFile::rename(old, newest);
        *error = u"%1 could not be moved to Updates"_s.arg(QDir::toNativeSeparators(previous));
        return false;
    }
    if (hadNewest)
        QFile::rename(old, previous);
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
    if (error.isEmpty() && installer && ask(u"Restore previous version of the %1?"_s.arg(software))) {
        result.installerRestored = swap(Kind::Installer, &error);
        if (result.installerRestored)
            result.installerSha256 = fileSha256(updatesPath(Kind::Installer));
    }

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

bool UpdateFolders::startInstaller(const QByteArray &expectedSha256, QString *error) const
{
    const QString installer = updatesPath(Kind::Installer);
    const QString shown = QDir::toNativeSeparators(installer);
    if (!noLink(m_folder + u"/Updates"_s, error) || !noLink(installer, error))
        return false;
    const int fd = ::open(QFile::encodeName(installer).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        *error = u"%1 is missing"_s.arg(shown);
        return false;
    }
    // Checked again right before it runs: the file may have been changed
    // since it was downloaded.
    struct stat status {};
    QFile file;
    const bool opened = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)
                        && file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const bool same = opened && hash.addData(&file) && !expectedSha256.isEmpty()
                      && hash.result().toHex() == expectedSha256;
    file.close();
    if (!same) {
        ::close(fd);
        *error = u"%1 is no longer the installer that was downloaded and checked; it was not started."_s.arg(shown);
        return false;
    }
    const bool executable = ::fchmod(fd, (status.st_mode & 07777) | S_IXUSR) == 0;
    ::close(fd);
    if (!executable || !QProcess::startDetached(installer, {}, m_folder)) {
        *error = u"%1 could not be started"_s.arg(shown);
        return false;
    }
    return true;
}
