#pragma once

#include <QString>

#include <functional>

class QPlainTextEdit;
class QTextBlock;

// The monitor box's text through a long session: what the keyer keys and
// decodes, a character or a word at a time. Appending costs the same
// whatever the box already holds: the keyer's text, which has no line
// breaks of its own, is kept in lines of about LineLength characters (a
// space where a line is full starts the next one and still reads as that
// space; a run without spaces, such as decoded noise, is cut at
// LongestLine), so that only the last line is laid out again. Beyond
// ScrollBack characters the oldest lines leave the box for spill() (an
// audit file), so that nothing of the session is lost and the box stays
// quick.
//
// Reading the text back (tail, chop) sees the keyer's characters: a line
// started in place of a space is that space, a line cut in a run is
// nothing. length() counts such a cut as one character.
class MonitorText
{
public:
    static constexpr int LineLength = 80;
    static constexpr int LongestLine = 4 * LineLength;
    static constexpr qsizetype ScrollBack = 50000;
    // Lines leave the box this many characters at a time.
    static constexpr qsizetype SpillChunk = 10000;

    explicit MonitorText(QPlainTextEdit *box) : m_box(box) {}

    // Keeps lines that scroll out; false when it could not (the box then
    // keeps them and grows until the operator is told it is full).
    using Spill = std::function<bool(const QString &lines)>;
    void setSpill(Spill spill) { m_spill = std::move(spill); }

    qsizetype length() const;
    QString tail(qsizetype count) const;
    // For an audit file: the full lines become line breaks.
    QString text() const;
    void append(const QString &text);
    void chop(qsizetype count);
    void clear();
    // A line break at the end, unless the box is empty or ends with one.
    void newLine();

private:
    // What the line break before block reads as: " ", nothing, or "\n".
    static QString breakBefore(const QTextBlock &block);
    void spillOldLines();

    QPlainTextEdit *m_box;
    Spill m_spill;
    bool m_spillFailed = false;
};
