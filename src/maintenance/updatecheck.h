#pragma once

#include "downloader.h"
#include "updatefolders.h"
#include "updateproduct.h"

#include <QString>
#include <QUrl>

#include <functional>

// The check for updates: reads the server's version file, fetches what is
// newer than the running program and the keyer's firmware, validates it,
// and only then makes it the newest download. It reports; the Software tab
// shows.
class UpdateCheck
{
public:
    struct Versions
    {
        int major = 0, minor = 0, revision = 0; // the running program
        int firmwareFirst = 0, firmwareSecond = 0; // the keyer's, as read at start-up
    };

    struct Outcome
    {
        bool failed = false;            // a critical message
        bool installerStored = false;   // the update-pending flag is due
        bool firmwareStored = false;
        QString message;
        bool cancelled = false;         // the operator's Cancel; nothing new was stored after it
        QUrl installerSource;           // where the stored installer came from
        bool installerSummed = false;   // and whether a published checksum vouched for it
        QByteArray installerSha256;     // checked again before the installer runs
    };

    // The most a server may send of each file.
    static constexpr qint64 VersionFileBytes = 16 * 1024;
    static constexpr qint64 ChecksumFileBytes = 4 * 1024;
    static constexpr qint64 FirmwareBytes = 1024 * 1024;
    static constexpr qint64 InstallerBytes = 200 * 1024 * 1024;

    UpdateCheck(const UpdateProduct &product, UpdateFolders &folders, Downloader &downloader);

    // Told when the downloads begin ("Downloading Updates ...").
    void setProgress(std::function<void(const QString &label)> progress) { m_progress = std::move(progress); }

    Outcome run(const QUrl &server, const Versions &running);

private:
    struct Download
    {
        QString error;      // empty on success
        bool cancelled = false;
        QUrl source;        // where it really came from
        bool summed = false; // a published SHA-256 vouched for it
        QByteArray sha256;
    };
    // Streams url into the kind's part file, checks it against the
    // ".sha256" file beside it on the server it finally came from, when
    // there is one, and with check() (a reason when the bytes are no file
    // of that kind), and only then makes it the newest download.
    Download download(UpdateFolders::Kind kind, const QUrl &url, qint64 maxBytes,
                      const std::function<QString(const QByteArray &head, const QString &path)> &check);
    // The operator's reason for a fetch that failed.
    static QString fetchFailure(const Downloader::Result &result);
    QString firmwareNote() const;

    UpdateProduct m_product;
    UpdateFolders &m_folders;
    Downloader &m_downloader;
    std::function<void(const QString &)> m_progress;
};
