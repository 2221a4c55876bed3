#pragma once

#include "updateproduct.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class QFile;

// The two folders below the data folder that hold the last two downloads:
// "Updates" the newest, "Backup" the one before. Every change keeps the
// pair whole: a download is written completely before anything moves, and
// a back-out swaps the two. What lands here may be run, so nothing is
// opened through a symbolic link: files are made fresh and exclusive, and
// a link found in either folder is refused, never followed.
class UpdateFolders
{
public:
    enum class Kind { Installer, Firmware };

    UpdateFolders(const QString &dataFolder, const UpdateProduct &product);

    QString updatesPath(Kind kind) const;
    QString backupPath(Kind kind) const;

    // The file a download of that kind is written to ("NAME.part" in
    // Updates), made new; null with *error set when it cannot be made
    // safely. commitStore() then makes it the newest download, the
    // previous newest going to Backup; discardStore() drops it. Until the
    // commit, Updates and Backup are as they were.
    std::unique_ptr<QFile> beginStore(Kind kind, QString *error);
    bool commitStore(Kind kind, QString *error);
    void discardStore(Kind kind);
    QString partPath(Kind kind) const { return updatesPath(kind) + QStringLiteral(".part"); }
    // The three steps for bytes already in memory.
    bool store(Kind kind, const QByteArray &bytes, QString *error);

    // The SHA-256 (lower-case hex) of a file, read without following a
    // link; empty when it cannot be read.
    static QByteArray fileSha256(const QString &path);

    // Back-out: swaps what Updates and Backup hold, for each kind the
    // operator agrees to. ask() gets the question and returns the answer.
    struct BackOut
    {
        bool firmwareRestored = false;
        bool installerRestored = false;
        QString message; // the report (or why nothing was found or done)
        QByteArray installerSha256; // of the installer restored, to run
    };
    BackOut backOut(const std::function<bool(const QString &question)> &ask);

    // Marks the newest installer as a program and starts it detached,
    // provided it is still the file whose SHA-256 was checked when it was
    // stored; the reason when it cannot.
    bool startInstaller(const QByteArray &expectedSha256, QString *error) const;

private:
    bool swap(Kind kind, QString *error);
    // Makes both folders; false when either is a link or cannot be made.
    bool folderReady(QString *error) const;
    // *error names a link in place of a file we handle.
    bool noLink(const QString &path, QString *error) const;

    QString m_folder;
    UpdateProduct m_product;
};
