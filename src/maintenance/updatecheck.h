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
        QUrl installerSource;           // where the stored installer came from
        bool installerSummed = false;   // and whether a published checksum vouched for it
    };

    UpdateCheck(const UpdateProduct &product, UpdateFolders &folders, Downloader &downloader);

    // Told when the downloads begin ("Downloading Updates ...").
    void setProgress(std::function<void(const QString &label)> progress) { m_progress = std::move(progress); }

    Outcome run(const QUrl &server, const Versions &running);

private:
    // Fetches path from the server and checks it against the server's
    // ".sha256" file when there is one (*summed); empty *error on success.
    QByteArray fetchChecked(const QUrl &url, QString *error, bool *summed);
    QString firmwareNote() const;

    UpdateProduct m_product;
    UpdateFolders &m_folders;
    Downloader &m_downloader;
    std::function<void(const QString &)> m_progress;
};
