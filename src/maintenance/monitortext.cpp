#include "monitortext.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// A line begun in place of a space: it reads as that space.
constexpr int Continuation = 1;

} // namespace

bool MonitorText::continues(const QTextBlock &block)
{
    return block.userState() == Continuation;
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
        const QString text = block.text();
        tail.prepend(text.right(count - tail.size()));
        if (tail.size() < count && block.previous().isValid())
            tail.prepend(continues(block) ? QLatin1Char(' ') : QLatin1Char('\n'));
    }
    return tail;
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
    QStringView rest(text);
    if (rest.front() == QLatin1Char(' ') && document->lastBlock().length() > LineLength) {
        cursor.insertBlock();
        document->lastBlock().setUserState(Continuation);
        rest = rest.sliced(1);
    }
    if (!rest.isEmpty())
        cursor.insertText(rest.toString());
    m_box->setTextCursor(cursor);
    m_box->verticalScrollBar()->setValue(m_box->verticalScrollBar()->maximum());
    if (length() > ScrollBack)
        spillOldLines();
}

void MonitorText::chop(qsizetype count)
{
    QTextCursor cursor(m_box->document());
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, int(qMin(count, length())));
    cursor.removeSelectedText();
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
    } else if (continues(last)) {
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
