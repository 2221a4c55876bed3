#include "qsolistwindow.h"

#include "listlineformatter.h"
#include "settingsstore.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

QsoListWindow::QsoListWindow(SettingsStore *settings, QWidget *parent)
    : QWidget(parent, Qt::Tool), m_settings(settings)
{
    setObjectName(u"QSOList"_s);
    setWindowTitle(u"QSO List"_s);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_header = new QLabel;
    m_header->setObjectName(u"lblHeader"_s);
    m_header->setFont(fixed);
    m_header->installEventFilter(this);
    m_list = new QPlainTextEdit;
    m_list->setObjectName(u"txtQSOList"_s);
    m_list->setFont(fixed);
    m_list->setReadOnly(true);
    m_list->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_list->viewport()->installEventFilter(this);
    // The header stands over the columns of the lines.
    m_header->setIndent(m_list->frameWidth() + int(m_list->document()->documentMargin()));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_header);
    layout->addWidget(m_list, 1);
    setContestLayout(false);
    // Room for a contest line and twenty QSOs.
    const QFontMetrics metrics(fixed);
    resize(metrics.horizontalAdvance(QString(100, u'0')), metrics.lineSpacing() * 24);
}

QsoListWindow::~QsoListWindow()
{
    if (isVisible())
        savePlacement();
}

void QsoListWindow::setContestLayout(bool contest)
{
    m_contest = contest;
    m_header->setText(QString::fromLatin1(ListLineFormatter::headerLine(contest)));
}

void QsoListWindow::clearList()
{
    m_list->clear();
}

void QsoListWindow::prependLine(QByteArrayView line)
{
    QTextCursor cursor(m_list->document());
    cursor.movePosition(QTextCursor::Start);
    const QString text = QString::fromLatin1(line);
    cursor.insertText(m_list->document()->isEmpty() ? text : text + u'\n');
}

QStringList QsoListWindow::lines() const
{
    const QString text = m_list->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}

void QsoListWindow::focusList()
{
    activateWindow();
    m_list->setFocus();
}

void QsoListWindow::open()
{
    if (!std::exchange(m_placed, true))
        restorePlacement();
    show();
}

void QsoListWindow::restorePlacement()
{
    const int state = m_settings->intSetting(u"QSOWindowState"_s, 0);
    if (state == 1)
        setWindowState(Qt::WindowMinimized);
    else if (state == 2)
        setWindowState(Qt::WindowMaximized);
    const int width = m_settings->intSetting(u"QSOWindowWidth"_s, -1);
    const int height = m_settings->intSetting(u"QSOWindowHeight"_s, -1);
    if (state != 0 || width == -1 || height == -1 || width <= 0 || height <= 0)
        return;
    resize(width, height);
    move(m_settings->intSetting(u"QSOWindowLeft"_s, x()), m_settings->intSetting(u"QSOWindowTop"_s, y()));
}

void QsoListWindow::savePlacement()
{
    const int state = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    m_settings->setSetting(u"QSOWindowState"_s, state);
    if (state != 0)
        return;
    m_settings->setSetting(u"QSOWindowWidth"_s, width());
    m_settings->setSetting(u"QSOWindowHeight"_s, height());
    m_settings->setSetting(u"QSOWindowLeft"_s, x());
    m_settings->setSetting(u"QSOWindowTop"_s, y());
}

void QsoListWindow::closeEvent(QCloseEvent *event)
{
    savePlacement();
    QWidget::closeEvent(event);
}

void QsoListWindow::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    emit focusRequested();
}

bool QsoListWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_header && event->type() == QEvent::MouseButtonPress) {
        emit focusRequested();
        return false;
    }
    if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        pickCall(static_cast<QMouseEvent *>(event)->position().toPoint());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// The line under the pointer; the call column of its layout, selected.
void QsoListWindow::pickCall(const QPoint &position)
{
    const QTextBlock line = m_list->cursorForPosition(position).block();
    if (!line.isValid() || line.text().isEmpty())
        return;
    const int column = m_contest ? CallColumnContest : CallColumnNormal;
    QTextCursor selection(line);
    selection.setPosition(line.position() + qMin(column, line.length() - 1));
    selection.setPosition(line.position() + qMin(column + CallWidth, line.length() - 1), QTextCursor::KeepAnchor);
    m_list->setTextCursor(selection);
    const QString call = selection.selectedText().trimmed().toUpper();
    if (!call.isEmpty())
        emit callPicked(call);
}
