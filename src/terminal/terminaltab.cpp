#include "terminaltab.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSlider>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// The speed with its unit: a bare number beside the slider reads as
// anything from a count to a volume.
QString speedText(int wpm)
{
    return u"%1 wpm"_s.arg(wpm);
}

} // namespace

TerminalTab::TerminalTab(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"fraTerminalFrame"_s);

    m_monitor = new QPlainTextEdit;
    m_monitor->setObjectName(u"txtMonitorText"_s);
    m_monitor->setReadOnly(true);
    m_monitor->setUndoRedoEnabled(false);
    m_monitor->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);

    m_sendBuffer = new QPlainTextEdit;
    m_sendBuffer->setObjectName(u"txtSendBuffer"_s);
    m_sendBuffer->setMaximumHeight(m_sendBuffer->fontMetrics().lineSpacing() * 6);

    m_speedSlider = new QSlider(Qt::Horizontal);
    m_speedSlider->setObjectName(u"speedSlider"_s);
    m_speedSlider->setRange(5, 75);
    m_speedSlider->setToolTip(tr("Keying speed (wpm)"));
    m_speedLabel = new QLabel;
    m_speedLabel->setObjectName(u"lblSpeed"_s);
    m_speedLabel->setMinimumWidth(m_speedLabel->fontMetrics().horizontalAdvance(u"00 wpm"_s));
    m_onAir = new QLabel(u"On the Air"_s);
    m_onAir->setObjectName(u"lblOnAir"_s);
    m_onAir->setStyleSheet(u"color: #c00000; font-weight: bold;"_s);
    m_onAir->setVisible(false);

    setMonitorFontSize(DefaultFontSize);

    auto *speedRow = new QHBoxLayout;
    speedRow->addWidget(new QLabel(tr("Speed:")));
    speedRow->addWidget(m_speedSlider, 1);
    speedRow->addWidget(m_speedLabel);
    speedRow->addSpacing(24);
    speedRow->addWidget(m_onAir);
    speedRow->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Monitor")));
    layout->addWidget(m_monitor, 3);
    auto *sendLabel = new QLabel(tr("Send buffer"));
    layout->addWidget(sendLabel);
    layout->addWidget(m_sendBuffer, 1);
    // Typed text goes to the keyer once the send pump is in place; until
    // then the box would only collect text that never leaves.
    sendLabel->hide();
    m_sendBuffer->hide();
    layout->addLayout(speedRow);

    connect(m_speedSlider, &QSlider::valueChanged, this, [this](int value) {
        m_speedLabel->setText(speedText(value));
        // A move that only shows the keyer's own report is not sent back.
        if (std::exchange(m_speedEcho, false))
            return;
        emit speedChosen(value);
    });
    connect(m_speedSlider, &QSlider::sliderPressed, this, [this] { m_speedEcho = false; });
}

qsizetype TerminalTab::monitorLength() const
{
    return m_monitor->document()->characterCount() - 1;
}

QString TerminalTab::monitorTail(qsizetype count) const
{
    QTextCursor cursor(m_monitor->document());
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, int(qMin(count, monitorLength())));
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

QString TerminalTab::monitorText() const
{
    return m_monitor->toPlainText();
}

void TerminalTab::monitorAppend(const QString &text)
{
    QTextCursor cursor(m_monitor->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    m_monitor->setTextCursor(cursor);
    m_monitor->verticalScrollBar()->setValue(m_monitor->verticalScrollBar()->maximum());
}

void TerminalTab::monitorChop(qsizetype count)
{
    QTextCursor cursor(m_monitor->document());
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, int(qMin(count, monitorLength())));
    cursor.removeSelectedText();
}

void TerminalTab::monitorClear()
{
    m_monitor->clear();
}

void TerminalTab::monitorNewLine()
{
    if (monitorLength() > 0 && monitorTail(1) != u"\n"_s)
        monitorAppend(u"\n"_s);
}

void TerminalTab::setMonitorFontSize(double points)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(points);
    m_monitor->setFont(font);
    m_sendBuffer->setFont(font);
}

void TerminalTab::showSpeed(int wpm)
{
    m_speedLabel->setText(speedText(wpm));
    if (m_speedSlider->value() == qBound(m_speedSlider->minimum(), wpm, m_speedSlider->maximum()))
        return;
    m_speedEcho = true;
    m_speedSlider->setValue(wpm);
}

void TerminalTab::setOnAir(bool onAir, bool ssb)
{
    m_onAir->setText(ssb ? u"SSB"_s : u"On the Air"_s);
    m_onAir->setVisible(ssb || onAir);
}
