#pragma once

#include <QByteArray>

// What the keyer has been told for the log before a function takes it: the
// words it keyed, text from keyboard entry, and the field that the digits
// of the next entry go to.
class QsoEntry
{
public:
    enum class Field { None, ReceivedReport, SentReport, ReceivedSerial };

    // Keyboard entry, between its opening byte and byte 3.
    void openEntry();
    bool isEntryOpen() const { return m_entryOpen; }
    // "<" takes back the last character of the entry.
    void addToEntry(char c);
    // Digits of the entry, for the field asked for last (else for
    // fallback); any other entry is held for the next function and comes
    // back with Field::None.
    Field closeEntry(Field fallback, QByteArray *digits);
    void expect(Field field) { m_expected = field; }
    void dropHeld() { m_held.clear(); }
    // Drops the held entry and the field asked for.
    void reset();

    // The word a function works on: the entry held for it, else the word
    // keyed last. A function inside the keyed text takes the keyed word.
    QByteArray takeArgument(bool inStream);

    void keyed(char c);
    // Takes the last keyed character out of the words; false when there
    // is none.
    bool takeBackKeyed();

private:
    bool m_entryOpen = false;
    QByteArray m_entry;
    QByteArray m_held;
    Field m_expected = Field::None;
    QByteArray m_word;     // keyed since the last space
    QByteArray m_lastWord; // the word before it
};
