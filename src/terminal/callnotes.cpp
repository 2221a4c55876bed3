#include "callnotes.h"

#include "countrytable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

QStringList CallNotes::load(const QString &path)
{
    return loadText(LookupFile::read(path, &m_encoding));
}

QStringList CallNotes::loadText(const QString &text)
{
    return loadLines(text.split(u'\n'));
}

QStringList CallNotes::loadLines(const QStringList &lines)
{
    QStringList messages;
    m_entries.clear();
    m_current = -1;
    QString previous;
    for (const QString &raw : lines) {
        const QString line = raw.trimmed().toUpper();
        if (line.size() <= 5 || line.startsWith(u';'))
            continue;
        const qsizetype blank = line.indexOf(u' ');
        const QString call = blank < 0 ? line : line.left(blank);
        if (!previous.isEmpty() && call <= previous) {
            messages.append(u"Sequence error in specialNotes.txt at "_s + call);
            continue;
        }
        const QString note = blank < 0 ? QString() : line.mid(blank + 1).trimmed().left(NoteLength);
        m_entries.append({call, note});
        previous = call;
    }
    return messages;
}

int CallNotes::find(const QString &call) const
{
    const auto it = std::lower_bound(m_entries.begin(), m_entries.end(), call,
                                     [](const CallNote &e, const QString &c) { return e.call < c; });
    const int index = int(it - m_entries.begin());
    if (it != m_entries.end() && it->call == call)
        return index;
    return -index - 1;
}

QString CallNotes::lookUp(const QString &call)
{
    const QString key = lookupCall(call);
    const int index = key.isEmpty() ? -1 : find(key);
    m_current = index >= 0 ? index : -1;
    return index >= 0 ? m_entries.at(index).note : QString();
}

bool CallNotes::setNote(const QString &call, const QString &note)
{
    const QString key = lookupCall(call);
    if (key.isEmpty() || key.contains(u' '))
        return false;
    // A line break in the note box would split the entry in the file.
    QString text = note;
    for (QChar &c : text) {
        if (c.isSpace())
            c = u' ';
    }
    text = text.trimmed().toUpper().left(NoteLength).trimmed();

    const int index = find(key);
    if (text.isEmpty()) {
        if (index >= 0)
            m_entries.removeAt(index);
    } else if (index >= 0) {
        m_entries[index].note = text;
    } else {
        m_entries.insert(-index - 1, {key, text});
    }
    lookUp(key);
    return true;
}

bool CallNotes::save(const QString &path, QString *error) const
{
    const QFileInfo info(path);
    const QDir folder = info.absoluteDir();
    const QString backup = folder.filePath(backupFileName());
    const QString fresh = path + u".new"_s;
    auto fail = [&](const QString &message) {
        if (error)
            *error = message;
        return false;
    };

    QFile out(fresh);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return fail(u"Cannot write %1: %2"_s.arg(fresh, out.errorString()));
    QString lines;
    for (const CallNote &entry : m_entries)
        lines += entry.call + u' ' + entry.note + u'\n';
    const QByteArray text = LookupFile::encode(lines, m_encoding);
    const bool written = out.write(text) == text.size() && out.flush();
    const QString writeError = out.errorString();
    out.close();
    if (!written || out.error() != QFileDevice::NoError) {
        QFile::remove(fresh);
        return fail(u"Cannot write %1: %2"_s.arg(fresh, writeError));
    }

    if (QFileInfo::exists(backup) && !QFile::remove(backup)) {
        QFile::remove(fresh);
        return fail(u"Cannot delete %1"_s.arg(backup));
    }
    if (QFileInfo::exists(path) && !QFile::rename(path, backup)) {
        QFile::remove(fresh);
        return fail(u"Cannot rename %1 to %2"_s.arg(path, backup));
    }
    if (!QFile::rename(fresh, path)) {
        QFile::rename(backup, path);
        QFile::remove(fresh);
        return fail(u"Cannot rename %1 to %2"_s.arg(fresh, path));
    }
    return true;
}
