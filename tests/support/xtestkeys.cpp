#include "xtestkeys.h"

#include <QElapsedTimer>
#include <QTest>
#include <QWidget>

#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using namespace Qt::StringLiterals;

namespace {

// A fast typist's pace: each event reaches the window before the next.
constexpr int GapMs = 12;

} // namespace

XTestKeys::XTestKeys() : m_display(XOpenDisplay(nullptr))
{
    m_pump.setInterval(GapMs);
    connect(&m_pump, &QTimer::timeout, this, &XTestKeys::sendNext);
}

XTestKeys::~XTestKeys()
{
    if (m_display)
        XCloseDisplay(m_display);
}

bool XTestKeys::focus(QWidget *window)
{
    window->activateWindow();
    XSetInputFocus(m_display, Window(window->winId()), RevertToParent, CurrentTime);
    XSync(m_display, False);
    return QTest::qWaitFor([window] { return window->isActiveWindow(); }, 5000);
}

void XTestKeys::sendNext()
{
    if (m_queue.isEmpty()) {
        if (--m_settling <= 0)
            m_pump.stop();
        return;
    }
    m_settling = 3;
    const Event e = m_queue.takeFirst();
    switch (e.kind) {
    case Event::Key:
        XTestFakeKeyEvent(m_display, e.code, e.down ? True : False, CurrentTime);
        break;
    case Event::Motion: {
        if (!e.widget)
            break;
        const QPoint global = e.widget->mapToGlobal(e.at.x() < 0 ? e.widget->rect().center() : e.at);
        XTestFakeMotionEvent(m_display, -1, global.x(), global.y(), CurrentTime);
        break;
    }
    case Event::Button:
        XTestFakeButtonEvent(m_display, e.code, e.down ? True : False, CurrentTime);
        break;
    }
    XSync(m_display, False);
}

bool XTestKeys::key(unsigned long keysym, bool down)
{
    const KeyCode code = XKeysymToKeycode(m_display, keysym);
    if (code == 0)
        return false;
    m_queue.append({Event::Key, code, down, {}, {}});
    m_pump.start();
    return true;
}

bool XTestKeys::chord(const QString &keys)
{
    QList<unsigned long> held;
    for (const QString &name : keys.split(u'+')) {
        const KeySym sym = XStringToKeysym(name.toLatin1().constData());
        if (sym == NoSymbol || !key(sym, true))
            return false;
        held.prepend(sym);
    }
    for (const unsigned long sym : held)
        key(sym, false);
    return true;
}

bool XTestKeys::type(const QString &text)
{
    for (const QChar c : text) {
        // Latin-1 key symbols are their characters' codes.
        const KeySym sym = c == u' ' ? XK_space : KeySym(c.unicode());
        const KeyCode code = XKeysymToKeycode(m_display, sym);
        if (code == 0)
            return false;
        const bool shift = XkbKeycodeToKeysym(m_display, code, 0, 0) != sym;
        if (shift)
            key(XK_Shift_L, true);
        key(sym, true);
        key(sym, false);
        if (shift)
            key(XK_Shift_L, false);
    }
    return true;
}

void XTestKeys::click(QWidget *widget, QPoint at)
{
    m_queue.append({Event::Motion, 0, false, widget, at});
    m_queue.append({Event::Button, 1, true, {}, {}});
    m_queue.append({Event::Button, 1, false, {}, {}});
    m_pump.start();
}

bool XTestKeys::run(QWidget *window, const QStringList &steps, const MoreSteps &more, int timeoutMs, QString *failure)
{
    qsizetype next = 0;
    std::function<bool()> until;
    failure->clear();
    QTimer script;
    connect(&script, &QTimer::timeout, this, [&] {
        if (pending() || (until && !until()))
            return;
        until = nullptr;
        if (next == steps.size()) {
            script.stop();
            return;
        }
        const QString &step = steps.at(next++);
        const QString verb = step.section(u' ', 0, 0);
        const QString rest = step.section(u' ', 1);
        bool started = true;
        if (verb == u"type") {
            started = type(rest);
        } else if (verb == u"key") {
            started = chord(rest);
        } else if (verb == u"click") {
            auto *widget = window->findChild<QWidget *>(rest);
            if (widget)
                click(widget);
            started = widget != nullptr;
        } else if (verb == u"wait") {
            QElapsedTimer since;
            since.start();
            until = [since, ms = rest.toInt()] { return since.elapsed() >= ms; };
        } else {
            started = more(step, &until);
        }
        if (!started) {
            *failure = u"cannot "_s + step;
            script.stop();
        }
    });
    script.start(10);
    if (!QTest::qWaitFor([&script] { return !script.isActive(); }, timeoutMs)) {
        *failure = u"stuck at "_s + steps.value(next - 1);
        return false;
    }
    return failure->isEmpty();
}
