#pragma once

#include "updateproduct.h"

#include <QByteArray>
#include <QString>

#include <functional>

// The two folders below the data folder that hold the last two downloads:
// "Updates" the newest, "Backup" the one before. Every change keeps the
// pair whole: a download is written completely before anything moves, and
// a back-out swaps the two.
class UpdateFolders
{
public:
    enum class Kind { Installer, Firmware };

    UpdateFolders(const QString &dataFolder, const UpdateProduct &product);

    QString updatesPath(Kind kind) const;
    QString backupPath(Kind kind) const;

    // Makes bytes the newest download of that kind, the previous newest
    // going to Backup. False with *error set when a file could not be
    // written; Updates and Backup are then as they were.
    bool store(Kind kind, const QByteArray &bytes, QString *error);

    // Back-out: swaps what Updates and Backup hold, for each kind the
    // operator agrees to. ask() gets the question and returns the answer.
    struct BackOut
    {
        bool firmwareRestored = false;
        bool installerRestored = false;
        QString message; // the report (or why nothing was found or done)
    };
    BackOut backOut(const std::function<bool(const QString &question)> &ask);

    // Marks the newest installer as a program and starts it detached; the
    // reason when it cannot.
    bool startInstaller(QString *error) const;

private:
    bool swap(Kind kind, QString *error);

    QString m_folder;
    UpdateProduct m_product;
};
