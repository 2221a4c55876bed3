#pragma once

#include "monitortext.h"

#include <QWidget>

#include <memory>

class CopyScorePanel;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The trainer's Monitor tab: the monitor of what the keyer keys, the copy
// box the student writes into with its score, and the buttons round them. It holds the
// controls and what is purely theirs; saving and reviewing are the main
// window's, which listens to the signals.
class TrainerMonitorTab : public QWidget
{
    Q_OBJECT
public:
    static constexpr double DefaultFontSize = 9.75;

    explicit TrainerMonitorTab(QWidget *parent = nullptr);

    QPlainTextEdit *monitor() const { return m_monitor; }
    QPlainTextEdit *millText() const { return m_millText; }
    CopyScorePanel *scorePanel() const { return m_score; }

    qsizetype monitorLength() const;
    // Lines that scroll out of a long session's monitor go to spill.
    void setMonitorSpill(MonitorText::Spill spill) { m_monitorText->setSpill(std::move(spill)); }
    QString monitorText() const;
    void monitorAppend(const QString &text);
    void monitorNewLine();
    void monitorClear();
    // "&Clear": both boxes.
    void clearBoth();

    bool monitorShown() const;
    void setMonitorShown(bool shown);

    double fontSize() const { return m_fontSize; }
    void setFontSize(double points);

    // The "Ctrl" label: while shown, top-row keys act as the keypad.
    bool keypadMode() const;
    void toggleKeypadMode();

signals:
    void saveClicked();
    void reviewClicked();
    void fontSizeChanged(double points);

private:
    QPlainTextEdit *m_monitor;
    std::unique_ptr<MonitorText> m_monitorText;
    QPlainTextEdit *m_millText;
    CopyScorePanel *m_score;
    QPushButton *m_hideShow;
    QLabel *m_ctrl;
    double m_fontSize = DefaultFontSize;
};
