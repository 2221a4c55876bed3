#include "monitortext.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <utility>

namespace {

// A line begun in place of a space reads as that space; one begun in the
// middle of a run of characters reads as nothing.
constexpr int Continuation = 1;
constexpr int Joined = 2;

} // namespace

QString MonitorText::breakBefore(const QTextBlock &block)
{
    switch (block.userState()) {
    case Continuation: return QStringLiteral(" ");
    case Joined: return {};
    default: return QStringLiteral("\n");
    }
}

qsizetype MonitorText::length() const
{
    return m_box->document()->characterCount() - 1;
}

QString MonitorText::tail(qsizetype count) const
{
    QString tail;
    for (QTextBlock block = m_box->document()->lastBlock(); block.isValid() && tail.size() < count;
         block = block.previous()) {
        tail.prepend(block.text().right(count - tail.size()));
        if (tail.size() < count && block.previous().isValid())
            tail.prepend(breakBefore(block));
    }
    return tail.right(count);
}

QString MonitorText::text() const
{
    return m_box->toPlainText();
}

void MonitorText::append(const QString &text)
{
    if (text.isEmpty())
        return;
    QTextDocument *document = m_box->document();
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    qsizetype line = document->lastBlock().length() - 1;
    QString segment;
    for (const QChar c : text) {
        if (c == QLatin1Char('\n')) {
            segment += c;
            line = 0;
            continue;
        }
        if ((c == QLatin1Char(' ') && line >= LineLength) || line >= LongestLine) {
            if (!segment.isEmpty())
                cursor.insertText(std::exchange(segment, {}));
            cursor.insertBlock();
            document->lastBlock().setUserState(c == QLatin1Char(' ') ? Continuation : Joined);
            line = 0;
            if (c == QLatin1Char(' '))
                continue;
        }
        segment += c;
        ++line;
    }
    if (!segment.isEmpty())
        cursor.insertText(segment);
    // The caret at the end stays there by itself; moving it means painting.
    if (!m_box->textCursor().atEnd())
        m_box->setTextCursor(cursor);
    QScrollBar *bar = m_box->verticalScrollBar();
    if (bar->value() != bar->maximum())
        bar->setValue(bar->maximum());
    if (length() > ScrollBack)
        spillOldLines();
}

void MonitorText::chop(qsizetype count)
{
    QTextCursor cursor(m_box->document());
    cursor.movePosition(QTextCursor::End);
    while (count > 0 && !cursor.atStart()) {
        // A line cut in a run is no character of the keyer's.
        if (cursor.positionInBlock() == 0 && cursor.block().userState() == Joined) {
            cursor.deletePreviousChar();
            continue;
        }
        cursor.deletePreviousChar();
        --count;
    }
}

void MonitorText::clear()
{
    m_box->clear();
    m_spillFailed = false;
}

void MonitorText::newLine()
{
    QTextDocument *document = m_box->document();
    if (document->isEmpty())
        return;
    QTextBlock last = document->lastBlock();
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    m_box->setTextCursor(cursor);
    if (!last.text().isEmpty()) {
        cursor.insertBlock();
        document->lastBlock().setUserState(-1);
    } else if (last.userState() == Continuation || last.userState() == Joined) {
        // An empty line begun for a space: it becomes the line break.
        last.setUserState(-1);
    }
}

void MonitorText::spillOldLines()
{
    if (!m_spill || m_spillFailed)
        return;
    QTextDocument *document = m_box->document();
    QString lines;
    QTextBlock block = document->firstBlock();
    while (block.isValid() && block != document->lastBlock() && lines.size() < SpillChunk) {
        if (!lines.isEmpty())
            lines += QLatin1Char('\n');
        lines += block.text();
        block = block.next();
    }
    if (lines.isEmpty())
        return;
    if (!m_spill(lines)) {
        m_spillFailed = true;
        return;
    }
    QTextCursor cursor(document);
    cursor.setPosition(block.position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}
