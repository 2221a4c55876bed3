#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class QWidget;
struct _XDisplay;

// The operator's keyboard and mouse on the X display the test runs on:
// XTest makes the X server produce real key and button events, so the
// window sees what a keyboard makes (a modifier pressed on its own, a
// chord in the order the fingers press it) and not what a test library
// posts into one widget.
//
// The events are queued and go out one every few milliseconds from a
// timer, never from inside a wait of the test: a key that starts a message
// runs the whole transmission inside its own handling, and the operator's
// next keys must reach the window while it does.
class XTestKeys : public QObject
{
public:
    XTestKeys();
    ~XTestKeys() override;

    bool isOpen() const { return m_display != nullptr; }
    // No window manager under Xvfb: the window is given the input focus.
    bool focus(QWidget *window);

    // Key names as X names them ("Return", "KP_5", "Prior", "Control_L"),
    // joined by "+" into a chord: held in order, released in reverse.
    // False when a name is no key of this keyboard.
    bool chord(const QString &keys);
    // ASCII text; Shift where the character needs it.
    bool type(const QString &text);
    void click(QWidget *widget, QPoint at = QPoint(-1, -1));
    // Events still queued, or sent so shortly ago that the window may not
    // have them yet.
    bool pending() const { return !m_queue.isEmpty() || m_settling > 0; }

    // Starts a step of the test's own; it may set *until, a condition the
    // step is done by. False: no such step.
    using MoreSteps = std::function<bool(const QString &step, std::function<bool()> *until)>;
    // Runs the operator's steps one after the other, from a timer: "type
    // TEXT", "key CHORD", "click OBJECT" (a child of window), "wait MS", and
    // whatever more starts. False with *failure naming the step that could
    // not be done or did not end within timeoutMs in all.
    bool run(QWidget *window, const QStringList &steps, const MoreSteps &more, int timeoutMs, QString *failure);

private:
    struct Event
    {
        enum Kind { Key, Motion, Button } kind;
        unsigned code = 0;
        bool down = false;
        // Where a motion goes: mapped when it is sent, so that a widget
        // that a click before has only just shown is where it is then.
        QPointer<QWidget> widget;
        QPoint at;
    };
    bool key(unsigned long keysym, bool down);
    void sendNext();

    _XDisplay *m_display = nullptr;
    QList<Event> m_queue;
    int m_settling = 0;
    QTimer m_pump;
};
