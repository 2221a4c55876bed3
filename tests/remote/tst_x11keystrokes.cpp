#include "keystrokesimulator.h"
#include "x11keyboard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using namespace Qt::StringLiterals;

namespace {

// Collects what the keyboard types into it; Enter as a line break.
class TypingTarget : public QWidget
{
public:
    QString received;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            received += u'\n';
        else
            received += event->text();
    }
};

} // namespace

// Real key strokes through XTest on a private Xvfb display, typed into a
// window of this test that holds the focus.
class TestX11KeyStrokes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void typesText_data();
    void typesText();
    void capsLockStillTypesTheSameText();
    void altGrCharactersUseLevelThree();

private:
    void pressCapsLock();

    Display *m_display = nullptr;
    TypingTarget *m_target = nullptr;
    X11Keyboard *m_keyboard = nullptr;
};

void TestX11KeyStrokes::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), u"xcb"_s);
    m_display = XOpenDisplay(nullptr);
    QVERIFY(m_display);
    m_keyboard = new X11Keyboard;
    m_target = new TypingTarget;
    m_target->setFocusPolicy(Qt::StrongFocus);
    m_target->resize(300, 100);
    m_target->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_target));
    // No window manager under bare Xvfb: hand the focus over directly.
    m_target->activateWindow();
    XSetInputFocus(m_display, Window(m_target->winId()), RevertToParent, CurrentTime);
    XSync(m_display, False);
    QTRY_VERIFY(m_target->isActiveWindow());
    m_target->setFocus();
    QTRY_VERIFY(m_target->hasFocus());
}

void TestX11KeyStrokes::cleanupTestCase()
{
    delete m_keyboard;
    delete m_target;
    if (m_display)
        XCloseDisplay(m_display);
}

void TestX11KeyStrokes::init()
{
    m_target->received.clear();
}

void TestX11KeyStrokes::typesText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("mixed text with Enter and characters without a key")
        << u"Hello World 73, de DL1ABC: RST 599! (qsl?) ~Grüße €5"_s
        << u"Hello World 73, de DL1ABC: RST 599! (qsl?) \nGrüße €5"_s;
    QTest::newRow("every printable ASCII sign but tilde")
        << u"!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}"_s << u"!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}"_s;
    QTest::newRow("more characters without a key than spare key codes")
        << u"àéîõü ÀÉÎÕÜ ßæøåñç ©°±µ"_s << u"àéîõü ÀÉÎÕÜ ßæøåñç ©°±µ"_s;
}

void TestX11KeyStrokes::typesText()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);

    KeyStrokeSimulator simulator(*m_keyboard);
    QVERIFY2(simulator.SendText(text), qPrintable(simulator.errorString()));
    QTRY_COMPARE_WITH_TIMEOUT(m_target->received, expected, 5000);
    // Nothing more arrives after the text.
    QTest::qWait(100);
    QCOMPARE(m_target->received, expected);
}

void TestX11KeyStrokes::pressCapsLock()
{
    const KeyCode caps = XKeysymToKeycode(m_display, XK_Caps_Lock);
    QVERIFY(caps != 0);
    XTestFakeKeyEvent(m_display, caps, True, CurrentTime);
    XTestFakeKeyEvent(m_display, caps, False, CurrentTime);
    XSync(m_display, False);
}

void TestX11KeyStrokes::capsLockStillTypesTheSameText()
{
    QVERIFY(!m_keyboard->currentLayout()->capsLockOn());
    pressCapsLock();
    QTRY_VERIFY(m_keyboard->currentLayout()->capsLockOn());
    QCoreApplication::processEvents();
    m_target->received.clear();

    KeyStrokeSimulator simulator(*m_keyboard);
    QVERIFY2(simulator.SendText(u"MiXeD case 42 éÜ~"_s), qPrintable(simulator.errorString()));
    QTRY_COMPARE_WITH_TIMEOUT(m_target->received, u"MiXeD case 42 éÜ\n"_s, 5000);

    pressCapsLock();
    QTRY_VERIFY(!m_keyboard->currentLayout()->capsLockOn());
}

void TestX11KeyStrokes::altGrCharactersUseLevelThree()
{
    // The US map has no AltGr characters: put "§" and "¶" on level 3 and 4
    // of the F12 key for this test.
    const KeyCode f12 = XKeysymToKeycode(m_display, XK_F12);
    QVERIFY(f12 != 0);
    int perKeycode = 0;
    KeySym *old = XGetKeyboardMapping(m_display, f12, 1, &perKeycode);
    QVERIFY(old);
    QList<KeySym> saved(old, old + perKeycode);
    XFree(old);
    KeySym syms[6] = {XK_F12, XK_F12, NoSymbol, NoSymbol, XK_section, XK_paragraph};
    XChangeKeyboardMapping(m_display, f12, 6, syms, 1);
    XSync(m_display, False);
    QTest::qWait(200);

    const auto layout = m_keyboard->currentLayout();
    const int section = layout->keyForCharacter(0xA7);
    const int paragraph = layout->keyForCharacter(0xB6);
    QCOMPARE(section >> 8, KeyboardLayout::ControlState | KeyboardLayout::AltState);
    QCOMPARE(paragraph >> 8, KeyboardLayout::ShiftState | KeyboardLayout::ControlState | KeyboardLayout::AltState);

    m_target->received.clear();
    KeyStrokeSimulator simulator(*m_keyboard);
    QVERIFY2(simulator.SendText(u"a§b¶c"_s), qPrintable(simulator.errorString()));
    QTRY_COMPARE_WITH_TIMEOUT(m_target->received, u"a§b¶c"_s, 5000);

    XChangeKeyboardMapping(m_display, f12, perKeycode, saved.data(), 1);
    XSync(m_display, False);
}

QTEST_MAIN(TestX11KeyStrokes)
#include "tst_x11keystrokes.moc"
