#include "qsoentry.h"

#include "morsecode.h"

#include <algorithm>
#include <utility>

void QsoEntry::openEntry()
{
    m_entryOpen = true;
    m_entry.clear();
}

void QsoEntry::addToEntry(char c)
{
    if (c == '<')
        m_entry.chop(1);
    else if (quint8(c) >= 32 && quint8(c) < 128)
        m_entry.append(MorseCode::upper(c));
}

QsoEntry::Field QsoEntry::closeEntry(Field fallback, QByteArray *digits)
{
    m_entryOpen = false;
    const QByteArray entry = std::exchange(m_entry, {}).trimmed();
    const bool number = !entry.isEmpty()
        && std::all_of(entry.begin(), entry.end(), [](char c) { return c >= '0' && c <= '9'; });
    const Field field = m_expected != Field::None ? m_expected : fallback;
    if (!number || field == Field::None) {
        m_held = entry;
        return Field::None;
    }
    m_expected = Field::None;
    *digits = entry;
    return field;
}

void QsoEntry::reset()
{
    m_held.clear();
    m_expected = Field::None;
}

QByteArray QsoEntry::takeArgument(bool inStream)
{
    if (!inStream && !m_held.isEmpty())
        return std::exchange(m_held, {});
    return m_word.isEmpty() ? m_lastWord : m_word;
}

void QsoEntry::keyed(char c)
{
    if (c != ' ')
        m_word.append(c);
    else if (!m_word.isEmpty())
        m_lastWord = std::exchange(m_word, {});
}

bool QsoEntry::takeBackKeyed()
{
    // After a space the character before it goes.
    if (m_word.isEmpty())
        m_word = std::exchange(m_lastWord, {});
    if (m_word.isEmpty())
        return false;
    m_word.chop(1);
    return true;
}
