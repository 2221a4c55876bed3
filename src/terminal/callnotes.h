#pragma once

#include "lookupfile.h"

#include <QList>
#include <QString>
#include <QStringList>

struct CallNote
{
    QString call;
    QString note;
};

// The operator's notes per call, sorted by call and searched by binary
// search. The entry of the last looked-up call is remembered.
class CallNotes
{
public:
    static constexpr int NoteLength = 40;
    static QString fileName() { return QStringLiteral("specialnotes.txt"); }
    static QString backupFileName() { return QStringLiteral("specialnotes.bak"); }

    // Replaces the table with the lines of the file (a missing file leaves
    // it empty). Returns the order errors for the operator.
    QStringList load(const QString &path);
    QStringList loadText(const QString &text);

    // Note of a call (exact match); empty when there is none. Sets the
    // current index (negative without a note).
    QString lookUp(const QString &call);
    int currentIndex() const { return m_current; }

    // An empty note deletes the call's entry, any other replaces or inserts
    // it at its sorted place, stored as the file would read it back (upper
    // case, one line, 40 characters). False for a call that cannot be
    // stored (too short, blanks, not starting with a letter or digit).
    bool setNote(const QString &call, const QString &note);

    // Writes the table to path, the previous file kept as specialnotes.bak
    // in the same folder. The file is written in the encoding it was loaded
    // in: UTF-8 for a new file, and when a note holds a character that
    // Windows-1252 lacks. The new text is written whole before either file
    // is touched, so a failed write leaves the old notes in place.
    bool save(const QString &path, QString *error = nullptr) const;

    const QList<CallNote> &entries() const { return m_entries; }
    int size() const { return int(m_entries.size()); }

private:
    QStringList loadLines(const QStringList &lines);
    // Index of the call, or -(insertion point) - 1.
    int find(const QString &call) const;

    QList<CallNote> m_entries;
    int m_current = -1;
    LookupFile::Encoding m_encoding = LookupFile::Encoding::Utf8;
};
