#pragma once

#include "monitortext.h"

#include <QWidget>

#include <memory>

struct TerminalButtons;
class QsoPanel;
class QCheckBox;
class QComboBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;

// The Terminal tab: the monitor of what the keyer keys and decodes, the
// send buffer, the QSO panel and the buttons round them. It holds the
// controls and what is purely theirs (fonts, the mill keyboard's colours,
// the monitor text); everything that talks to the keyer is the main
// window's, which listens to the signals.
class TerminalTab : public QWidget
{
    Q_OBJECT
public:
    static constexpr double DefaultFontSize = 9.75;
    // The speed slider's range, in wpm.
    static constexpr int MinSpeed = 5;
    static constexpr int MaxSpeed = 75;
    enum class DeleteCaption { LastQso, ThisQso, PreviousQso };

    explicit TerminalTab(QWidget *parent = nullptr);

    QPlainTextEdit *monitor() const { return m_monitor; }
    QPlainTextEdit *sendBuffer() const { return m_sendBuffer; }
    QsoPanel *qsoPanel() const { return m_qso; }

    // Monitor text operations; a line break counts as one character "\n".
    // Lines that scroll out of a long session's monitor go to spill.
    void setMonitorSpill(MonitorText::Spill spill) { m_monitorText->setSpill(std::move(spill)); }
    qsizetype monitorLength() const;
    QString monitorTail(qsizetype count) const;
    QString monitorText() const { return m_monitorText->text(); }
    void monitorAppend(const QString &text);
    void monitorChop(qsizetype count);
    void monitorClear();
    void monitorNewLine();

    // The box typing goes into: the monitor with the mill keyboard, else
    // the send buffer.
    QPlainTextEdit *typingBox() const;
    // Starts a new line in a box unless it ends with one.
    static void newLine(QPlainTextEdit *box);
    // Inserts at the caret; while a message goes out, never into the part
    // already sent (lockedLength characters): at the end instead.
    void insertIntoSendBuffer(const QString &text, qsizetype lockedLength = 0);
    void clearSendBuffer();
    // Greys the send buffer from the 0-based position on: text the operator
    // stopped before it went out.
    void markUnsent(qsizetype position);
    // Whether a key on the send buffer would change its first lockedLength
    // characters (those handed to the keyer while a message goes out).
    // Typing keys that would are sent to the end of the text first.
    bool refusesEdit(QKeyEvent *event, qsizetype lockedLength);

    double monitorFontSize() const { return m_fontSize; }
    void setMonitorFontSize(double points);

    bool millKeyboard() const { return m_mill; }
    // Colours and which box takes the typing; no setting is written.
    void setMillKeyboard(bool on);

    // The keyer's current speed: label and slider, without sending it back.
    void showSpeed(int wpm);
    void setOnAir(bool onAir, bool ssb);
    bool onAirShown() const;
    void showOnAir();

    // Mirrors of the keyer's options shown on this tab.
    void showBand(int index);
    void showMode(bool ssb);
    void showHandKey(bool on);
    void showAutoLogging(bool on);
    void showSerialNumber(qint32 number, bool contest);
    void showUser(bool user2);
    void setBandControlsEnabled(bool on);

    bool sendImmediate() const;
    void setSendImmediate(bool on);
    bool autoLogging() const;

    // The state refresh: buttons and their captions.
    void applyButtons(const TerminalButtons &buttons);
    // A message going out (true) rests the conflicting controls.
    void setSending(bool sending, bool ssb, bool editMode);
    void setEditMode(bool on);
    bool editMode() const;
    void setDeleteCaption(DeleteCaption caption);
    void setKeypadIndicator(bool on);
    bool keypadIndicator() const;

    bool tuneLatched() const { return m_tuneLatched; }
    void setTuneLatched(bool latched);
    void setTuneEnabled(bool on);
    void setScrollEnabled(bool on);
    void focusSendBuffer();

    // "Serial number must be 0 through 999999" unless the box holds such a
    // number; the value otherwise.
    QLineEdit *serialNumberBox() const { return m_serialNumber; }

signals:
    // Text the monitor shows, as it comes (the demo's other station reads it).
    void monitorTextAdded(const QString &text);
    void speedChosen(int wpm);
    void clearMonitorClicked();
    void saveMonitorClicked();
    void reviewMonitorClicked();
    void clearSendBufferClicked();
    void sendMessageClicked();
    void sendBufferEdited();
    void sendImmediateClicked(bool on);
    void checkCallClicked();
    void logQsoClicked();
    void deleteQsoClicked();
    void undeleteRequested();
    void editQsoClicked();
    void autoLoggingClicked(bool on);
    void tunePressed(bool leftButton);
    void bandChosen(int index);
    void modeChosen(int index);
    void handKeyClicked(bool on);
    void serialNumberLeft();
    // The operator asked for the mill keyboard on or off.
    void millKeyboardRequested(bool on);
    void fontSizeChanged(double points);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildLayout();
    void stepFont(double step);

    QFrame *m_redFrame;
    QPlainTextEdit *m_monitor;
    std::unique_ptr<MonitorText> m_monitorText;
    QPlainTextEdit *m_sendBuffer;
    QsoPanel *m_qso;
    QSlider *m_speedSlider;
    QLabel *m_speedLabel;
    QLabel *m_onAir;
    QComboBox *m_band;
    QComboBox *m_mode;
    QCheckBox *m_handKey;
    QPushButton *m_tune;
    QPushButton *m_fontDown;
    QPushButton *m_fontUp;
    QPushButton *m_clearMonitor;
    QPushButton *m_saveMonitor;
    QPushButton *m_reviewMonitor;
    QPushButton *m_clearSendBuffer;
    QCheckBox *m_sendImmediate;
    QLabel *m_ctrlAlt;
    QLabel *m_keypadIndicator;
    QPushButton *m_checkCall;
    QPushButton *m_sendMessage;
    QPushButton *m_logQso;
    QPushButton *m_deleteQso;
    QPushButton *m_editQso;
    QCheckBox *m_autoLogging;
    QLabel *m_enter;
    QLabel *m_ctrlEnter;
    QLabel *m_altEnter;
    QLabel *m_scroll;
    QLabel *m_currentUser;
    QLabel *m_serialCaption;
    QLineEdit *m_serialNumber;
    double m_fontSize = DefaultFontSize;
    bool m_mill = false;
    bool m_sending = false;
    bool m_speedEcho = false;
    bool m_tuneLatched = false;
};
