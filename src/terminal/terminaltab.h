#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QSlider;

// The Terminal tab: the monitor of what the keyer keys and decodes, the
// send buffer and the speed control.
class TerminalTab : public QWidget
{
    Q_OBJECT
public:
    static constexpr double DefaultFontSize = 9.75;

    explicit TerminalTab(QWidget *parent = nullptr);

    QPlainTextEdit *monitor() const { return m_monitor; }
    QPlainTextEdit *sendBuffer() const { return m_sendBuffer; }

    // Monitor text operations; a line break counts as one character "\n".
    qsizetype monitorLength() const;
    QString monitorTail(qsizetype count) const;
    QString monitorText() const;
    void monitorAppend(const QString &text);
    void monitorChop(qsizetype count);
    void monitorClear();
    void monitorNewLine();

    void setMonitorFontSize(double points);

    // The keyer's current speed: label and slider, without sending it back.
    void showSpeed(int wpm);
    void setOnAir(bool onAir, bool ssb);

signals:
    // The operator moved the speed slider.
    void speedChosen(int wpm);

private:
    QPlainTextEdit *m_monitor;
    QPlainTextEdit *m_sendBuffer;
    QSlider *m_speedSlider;
    QLabel *m_speedLabel;
    QLabel *m_onAir;
    bool m_speedEcho = false;
};
