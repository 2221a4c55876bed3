#include "manualwindow.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

ManualWindow::ManualWindow(const QString &manual, QWidget *parent) : QWidget(parent, Qt::Window), m_manual(manual)
{
    setObjectName(u"ManualWindow"_s);
    m_note = new QLabel;
    m_note->setObjectName(u"lblManualNote"_s);
    m_note->setWordWrap(true);
    m_note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_note->setStyleSheet(u"QLabel { background: #fff4c0; padding: 6px; }"_s);
    m_note->hide();
    m_text = new QTextBrowser;
    m_text->setObjectName(u"txtManual"_s);
    m_text->setOpenExternalLinks(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_note);
    layout->addWidget(m_text, 1);
    resize(780, 680);

    QFile file(u":/manual/%1.md"_s.arg(manual));
    if (!file.open(QIODevice::ReadOnly)) {
        setWindowTitle(manual);
        m_text->setPlainText(tr("The manual %1 is not built into this program.").arg(file.fileName()));
        return;
    }
    m_text->setMarkdown(QString::fromUtf8(file.readAll()));
    // Markdown headings carry no anchors here: each gets its page anchor.
    QHash<QString, int> seen;
    for (QTextBlock block = m_text->document()->begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level == 0)
            continue;
        if (level == 1 && windowTitle().isEmpty())
            setWindowTitle(block.text());
        QString anchor = anchorOf(block.text());
        if (const int n = seen[anchor]++; n > 0)
            anchor += u'-' + QString::number(n);
        m_anchors << anchor;
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setAnchor(true);
        format.setAnchorNames({anchor});
        cursor.mergeCharFormat(format);
    }
}

QString ManualWindow::anchorOf(const QString &heading)
{
    QString anchor;
    for (const QChar c : heading.trimmed().toLower()) {
        if (c.isLetterOrNumber() || c == u'-' || c == u'_')
            anchor += c;
        else if (c == u' ')
            anchor += u'-';
    }
    return anchor;
}

ManualWindow *ManualWindow::open(QWidget *owner, const QString &manual, const QString &anchor, const QString &note)
{
    ManualWindow *window = nullptr;
    for (ManualWindow *w : owner->findChildren<ManualWindow *>(Qt::FindDirectChildrenOnly)) {
        if (w->manual() == manual)
            window = w;
    }
    if (!window)
        window = new ManualWindow(manual, owner);
    // Shown first: the text is laid out at the window's width.
    window->showNormal();
    window->showSection(anchor, note);
    window->raise();
    window->activateWindow();
    return window;
}

void ManualWindow::showSection(const QString &anchor, const QString &note)
{
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
    m_section = m_anchors.contains(anchor) ? anchor : QString();
    if (m_section.isEmpty()) {
        m_text->moveCursor(QTextCursor::Start);
        return;
    }
    // The text is laid out lazily, and a heading beyond the laid-out part
    // has no place yet to scroll to.
    m_text->document()->documentLayout()->documentSize();
    m_text->scrollToAnchor(m_section);
}
