#include "desktopkeyboard.h"
#include "keystrokesimulator.h"

#ifdef DW_HAVE_X11
#include "x11keyboard.h"
#endif

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A layout with AltGr characters: letters and digits on their own keys,
// "!" on Shift+1, "@" on AltGr+Q, "|" on Shift+AltGr+K; no key for "é".
class FakeLayout : public KeyboardLayout
{
public:
    bool capsLock = false;

    int keyForCharacter(int code) const override
    {
        if (code >= 'a' && code <= 'z')
            return code - 'a' + 'A';
        if (code >= 'A' && code <= 'Z')
            return (ShiftState << 8) | code;
        if (code >= '0' && code <= '9')
            return code;
        if (code == ' ')
            return 0x20;
        if (code == '!')
            return (ShiftState << 8) | '1';
        if (code == '@')
            return ((ControlState | AltState) << 8) | 'Q';
        if (code == '|')
            return ((ShiftState | ControlState | AltState) << 8) | 'K';
        return -1;
    }
    quint16 scanCode(quint16 virtualKey) const override { return quint16(0x100 + virtualKey); }
    bool capsLockOn() const override { return capsLock; }
};

class FakePlatform : public KeyboardPlatform
{
public:
    bool hasDisplay = true;
    bool injectFails = false;
    bool capsLock = false;
    int layoutsTaken = 0;
    QList<QList<KeyboardInput>> injected;

    std::unique_ptr<KeyboardLayout> currentLayout() override
    {
        ++layoutsTaken;
        if (!hasDisplay)
            return nullptr;
        auto layout = std::make_unique<FakeLayout>();
        layout->capsLock = capsLock;
        return layout;
    }
    bool inject(const KeyboardInput *records, int count) override
    {
        injected.append(QList<KeyboardInput>(records, records + count));
        return !injectFails;
    }
    QString errorString() const override
    {
        return hasDisplay ? u"injection refused"_s : u"Keyboard simulation is unavailable"_s;
    }
};

KeyboardInput rec(quint16 vk, quint32 scan, quint32 flags)
{
    KeyboardInput r;
    r.type = KeyboardInput::TypeKeyboard;
    r.virtualKey = vk;
    r.scanCode = scan;
    r.flags = flags;
    return r;
}
KeyboardInput down(quint16 vk) { return rec(vk, 0, 0); }
KeyboardInput up(quint16 vk) { return rec(vk, 0x100u + vk, KeyboardInput::KeyUp); }
KeyboardInput modUp(quint16 vk) { return rec(vk, 0, KeyboardInput::KeyUp); }
KeyboardInput uniDown(quint32 code) { return rec(0, code, KeyboardInput::Unicode); }
KeyboardInput uniUp(quint32 code) { return rec(0, code, KeyboardInput::Unicode | KeyboardInput::KeyUp); }

QString describe(const QList<KeyboardInput> &records)
{
    QStringList parts;
    for (const KeyboardInput &r : records)
        parts.append(u"t%1 vk%2 sc%3 f%4"_s.arg(r.type).arg(r.virtualKey).arg(r.scanCode).arg(r.flags));
    return parts.join(u", "_s);
}

} // namespace

using Records = QList<KeyboardInput>;

class TestKeyStrokeSimulator : public QObject
{
    Q_OBJECT

private slots:
    void recordOrder_data();
    void recordOrder();
    void growth_data();
    void growth();
    void shiftTextInjectedInOneCall();
    void emptyTextInjectsNothing();
    void layoutTakenOncePerCall();
    void failuresAreReported();
    void noDisplayMeansUnavailable();
};

void TestKeyStrokeSimulator::recordOrder_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("capsLock");
    QTest::addColumn<Records>("expected");

    const quint16 shift = VirtualKey::Shift, ctrl = VirtualKey::Control, alt = VirtualKey::Alt;
    QTest::newRow("lower-case letter") << u"a"_s << false << Records{down('A'), up('A')};
    QTest::newRow("upper-case letter needs Shift") << u"A"_s << false
                                                   << Records{down(shift), down('A'), up('A'), modUp(shift)};
    QTest::newRow("Caps Lock: upper case without Shift") << u"A"_s << true << Records{down('A'), up('A')};
    QTest::newRow("Caps Lock: lower case with Shift") << u"a"_s << true
                                                      << Records{down(shift), down('A'), up('A'), modUp(shift)};
    QTest::newRow("Caps Lock leaves digits alone") << u"1"_s << true << Records{down('1'), up('1')};
    QTest::newRow("Caps Lock leaves shifted signs alone") << u"!"_s << true
                                                          << Records{down(shift), down('1'), up('1'), modUp(shift)};
    QTest::newRow("tilde is Enter") << u"~"_s << false << Records{down(VirtualKey::Enter), up(VirtualKey::Enter)};
    QTest::newRow("tilde is Enter under Caps Lock") << u"~"_s << true
                                                    << Records{down(VirtualKey::Enter), up(VirtualKey::Enter)};
    QTest::newRow("AltGr character") << u"@"_s << false
                                     << Records{down(ctrl), down(alt), down('Q'), up('Q'), modUp(ctrl), modUp(alt)};
    QTest::newRow("Shift with AltGr: eight records")
        << u"|"_s << false
        << Records{down(shift), down(ctrl), down(alt), down('K'), up('K'), modUp(ctrl), modUp(alt), modUp(shift)};
    QTest::newRow("no key on the layout") << u"é"_s << false << Records{uniDown(0xE9), uniUp(0xE9)};
    QTest::newRow("above code 255") << u"€"_s << false << Records{uniDown(0x20AC), uniUp(0x20AC)};
    QTest::newRow("outside 16 bits is one character") << QString::fromUcs4(U"\U0001F600") << false
                                                       << Records{uniDown(0x1F600), uniUp(0x1F600)};
    QTest::newRow("text in order") << u"Hi 5~"_s << false
                                   << Records{down(shift), down('H'), up('H'), modUp(shift), down('I'), up('I'),
                                              down(0x20), up(0x20), down('5'), up('5'), down(VirtualKey::Enter),
                                              up(VirtualKey::Enter)};
}

void TestKeyStrokeSimulator::recordOrder()
{
    QFETCH(QString, text);
    QFETCH(bool, capsLock);
    QFETCH(Records, expected);

    FakeLayout layout;
    layout.capsLock = capsLock;
    const KeyBatch batch = buildKeyBatch(text, layout);
    const Records used = batch.records.mid(0, batch.count);
    QCOMPARE(describe(used), describe(expected));
    QVERIFY(used == expected);
}

void TestKeyStrokeSimulator::growth_data()
{
    QTest::addColumn<int>("characters");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<int>("enlargements");

    // Four records per Shift character; the batch grows once the count
    // reaches the highest index minus 24.
    QTest::newRow("121 characters fit") << 121 << 512 << 0;
    QTest::newRow("122nd reaches 487") << 122 << 1024 << 1;
    QTest::newRow("249 after one growth") << 249 << 1024 << 1;
    QTest::newRow("250th reaches 999") << 250 << 1536 << 2;
    QTest::newRow("300 characters grow twice") << 300 << 1536 << 2;
}

void TestKeyStrokeSimulator::growth()
{
    QFETCH(int, characters);
    QFETCH(int, capacity);
    QFETCH(int, enlargements);

    FakeLayout layout;
    const KeyBatch batch = buildKeyBatch(QString(characters, u'Z'), layout);
    QCOMPARE(batch.count, 4 * characters);
    QCOMPARE(int(batch.records.size()), capacity);
    QCOMPARE(batch.enlargements, enlargements);
}

void TestKeyStrokeSimulator::shiftTextInjectedInOneCall()
{
    FakePlatform platform;
    KeyStrokeSimulator simulator(platform);
    QString text;
    for (int i = 0; i < 300; ++i)
        text += QChar(u'A' + i % 26);
    QVERIFY(simulator.SendText(text));
    QCOMPARE(platform.injected.size(), 1);
    const Records &batch = platform.injected.first();
    QCOMPARE(batch.size(), 1200);
    for (int i = 0; i < 300; ++i) {
        const quint16 key = quint16('A' + i % 26);
        const Records expected{down(VirtualKey::Shift), down(key), up(key), modUp(VirtualKey::Shift)};
        QVERIFY2(batch.mid(4 * i, 4) == expected, qPrintable(QString::number(i)));
    }
}

void TestKeyStrokeSimulator::emptyTextInjectsNothing()
{
    FakePlatform platform;
    KeyStrokeSimulator simulator(platform);
    QVERIFY(simulator.SendText(QString()));
    QVERIFY(platform.injected.isEmpty());
    QVERIFY(simulator.errorString().isEmpty());
}

void TestKeyStrokeSimulator::layoutTakenOncePerCall()
{
    FakePlatform platform;
    KeyStrokeSimulator simulator(platform);
    QVERIFY(simulator.SendText(u"abc"_s));
    QCOMPARE(platform.layoutsTaken, 1);
    // Caps Lock switched on between two calls is seen by the next one.
    platform.capsLock = true;
    QVERIFY(simulator.SendText(u"a"_s));
    QCOMPARE(platform.layoutsTaken, 2);
    QCOMPARE(platform.injected.size(), 2);
    QCOMPARE(platform.injected.at(1).size(), 4);
    QCOMPARE(platform.injected.at(1).first(), down(VirtualKey::Shift));
}

void TestKeyStrokeSimulator::failuresAreReported()
{
    FakePlatform platform;
    platform.hasDisplay = false;
    KeyStrokeSimulator simulator(platform);
    QVERIFY(!simulator.SendText(u"abc"_s));
    QCOMPARE(simulator.errorString(), u"Keyboard simulation is unavailable"_s);
    QVERIFY(platform.injected.isEmpty());

    platform.hasDisplay = true;
    platform.injectFails = true;
    QVERIFY(!simulator.SendText(u"abc"_s));
    QCOMPARE(simulator.errorString(), u"injection refused"_s);

    platform.injectFails = false;
    QVERIFY(simulator.SendText(u"abc"_s));
    QVERIFY(simulator.errorString().isEmpty());
}

void TestKeyStrokeSimulator::noDisplayMeansUnavailable()
{
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    const std::unique_ptr<KeyboardPlatform> desktop = createDesktopKeyboard();
    KeyStrokeSimulator simulator(*desktop);
    QVERIFY(!simulator.SendText(u"CQ CQ"_s));
    QVERIFY2(simulator.errorString().startsWith(u"Keyboard simulation is unavailable: "_s),
             qPrintable(simulator.errorString()));
    // Asking again is safe and says the same.
    QVERIFY(!simulator.SendText(u"de"_s));
    QVERIFY(simulator.errorString().startsWith(u"Keyboard simulation is unavailable: "_s));
    if (!display.isNull())
        qputenv("DISPLAY", display);

#ifdef DW_HAVE_X11
    X11Keyboard missing(u":4711"_s);
    QVERIFY(!missing.currentLayout());
    QCOMPARE(missing.errorString(), u"Keyboard simulation is unavailable: there is no X display to type into."_s);
    KeyboardInput record;
    QVERIFY(!missing.inject(&record, 1));
#endif
}

QTEST_GUILESS_MAIN(TestKeyStrokeSimulator)
#include "tst_keystrokesimulator.moc"
