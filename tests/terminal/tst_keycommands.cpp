#include "keycommands.h"

#include <QTest>

using namespace Qt::StringLiterals;
using KeyCommands::Command;
using KeyCommands::DataEntry;
using KeyCommands::KeyState;

Q_DECLARE_METATYPE(KeyState)
Q_DECLARE_METATYPE(Command)

// What each key does on the Terminal tab, in which state: one row per row
// of the key table (and per order of its tests).
class TestKeyCommands : public QObject
{
    Q_OBJECT

private slots:
    void keys_data();
    void keys();
};

namespace {

template<typename Change>
KeyState state(Change change)
{
    KeyState s;
    change(s);
    return s;
}

KeyState idle()
{
    return KeyState{};
}

} // namespace

void TestKeyCommands::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<KeyState>("state");
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("detail"); // the key, the inserted text or the F-key number

    const int none = Qt::NoModifier;
    const int pad = Qt::KeypadModifier;
    const auto sending = state([](KeyState &s) { s.sending = true; s.sendBufferEmpty = false; });
    const auto typed = state([](KeyState &s) { s.sendBufferEmpty = false; });
    const auto entry = state([](KeyState &s) { s.dataEntry = DataEntry::Rs; });

    QTest::newRow("F1 anywhere") << int(Qt::Key_F1) << none << state([](KeyState &s) { s.terminalTab = false; })
                                 << Command::Help << QString();
    QTest::newRow("other tabs ignore keys") << int(Qt::Key_Return) << none
                                            << state([](KeyState &s) { s.terminalTab = false; }) << Command::Pass
                                            << QString();
    QTest::newRow("keyboard simulator takes every key")
        << int(Qt::Key_A) << none << state([](KeyState &s) { s.keyboardSimulator = true; }) << Command::Swallow
        << QString();
    QTest::newRow("Enter in the note box sends nothing")
        << int(Qt::Key_Return) << none << state([](KeyState &s) { s.noteFocused = true; s.sendBufferEmpty = false; })
        << Command::FocusSendBuffer << QString();
    QTest::newRow("Caps Lock: mill keyboard") << int(Qt::Key_CapsLock) << none << idle()
                                              << Command::ToggleMillKeyboard << QString();
    QTest::newRow("Ctrl+Alt: immediate mode") << int(Qt::Key_Alt) << int(Qt::ControlModifier) << idle()
                                              << Command::ToggleSendImmediate << QString();
    QTest::newRow("Ctrl+Alt while immediate mode is locked")
        << int(Qt::Key_Alt) << int(Qt::ControlModifier)
        << state([](KeyState &s) { s.sendImmediateEnabled = false; }) << Command::Pass << QString();
    QTest::newRow("Ctrl pressed: any chord may follow") << int(Qt::Key_Control) << int(Qt::ControlModifier)
                                                        << idle() << Command::Pass << QString();
    QTest::newRow("full send buffer") << int(Qt::Key_A) << none
                                      << state([](KeyState &s) { s.sendBufferFull = true; }) << Command::MonitorFull
                                      << QString();
    QTest::newRow("keypad 5 starts message 5") << int(Qt::Key_5) << pad << idle() << Command::MessageKey << u"5"_s;
    QTest::newRow("keypad Home (NumLock off) is 7") << int(Qt::Key_Home) << pad << idle() << Command::MessageKey
                                                    << u"7"_s;
    QTest::newRow("the Home key itself moves the caret") << int(Qt::Key_Home) << none << idle() << Command::Pass
                                                         << QString();
    QTest::newRow("number row 5 with the indicator")
        << int(Qt::Key_5) << none << state([](KeyState &s) { s.keypadIndicator = true; }) << Command::MessageKey
        << u"5"_s;
    QTest::newRow("comma with the indicator is keypad *")
        << int(Qt::Key_Comma) << none << state([](KeyState &s) { s.keypadIndicator = true; })
        << Command::ReceivedReport << QString();
    QTest::newRow("message keys beep in SSB") << int(Qt::Key_3) << pad << state([](KeyState &s) { s.ssb = true; })
                                              << Command::Beep << QString();
    QTest::newRow("data entry refuses letters") << int(Qt::Key_A) << none << entry << Command::Beep << QString();
    QTest::newRow("data entry takes digits") << int(Qt::Key_5) << pad << entry << Command::Pass << QString();
    QTest::newRow("data entry: Delete only for RST") << int(Qt::Key_Delete) << none << entry << Command::Beep
                                                     << QString();
    QTest::newRow("data entry ends with Enter") << int(Qt::Key_Return) << none << entry
                                                << Command::FinishDataEntry << QString();
    QTest::newRow("data entry: keypad minus empties") << int(Qt::Key_Minus) << pad << entry << Command::KeypadMinus
                                                      << QString();
    QTest::newRow("Enter sends the message") << int(Qt::Key_Return) << none << typed << Command::SendMessage
                                             << QString();
    QTest::newRow("Enter on an empty buffer checks the call") << int(Qt::Key_Return) << none << idle()
                                                              << Command::RecordAndCheckCall << QString();
    QTest::newRow("Enter while sending") << int(Qt::Key_Return) << none << sending << Command::Swallow << QString();
    QTest::newRow("Enter with the mill keyboard ends its line")
        << int(Qt::Key_Return) << none << state([](KeyState &s) { s.millKeyboard = true; }) << Command::Pass
        << QString();
    QTest::newRow("Enter in immediate mode checks the call")
        << int(Qt::Key_Return) << none << state([](KeyState &s) { s.sendImmediate = true; s.sendBufferEmpty = false; })
        << Command::CheckCall << QString();
    QTest::newRow("Enter in edit mode sends the report")
        << int(Qt::Key_Enter) << pad << state([](KeyState &s) { s.editMode = true; s.millKeyboard = true; s.sendBufferEmpty = false; })
        << Command::SendMessage << QString();
    QTest::newRow("Ctrl+Enter checks the call") << int(Qt::Key_Return) << int(Qt::ControlModifier) << typed
                                                << Command::CheckCall << QString();
    QTest::newRow("Ctrl+Enter while sending re-enables keying")
        << int(Qt::Key_Return) << int(Qt::ControlModifier) << sending << Command::Insert << u"\u00A4E "_s;
    QTest::newRow("Alt+Enter stores the record") << int(Qt::Key_Return) << int(Qt::AltModifier) << idle()
                                                 << Command::StoreRecordNow << QString();
    QTest::newRow("Alt+Enter while sending marks the message") << int(Qt::Key_Return) << int(Qt::AltModifier)
                                                               << sending << Command::Insert << u"\u00A4# "_s;
    QTest::newRow("Esc") << int(Qt::Key_Escape) << none << idle() << Command::Escape << QString();
    QTest::newRow("Esc in the note box stops a message") << int(Qt::Key_Escape) << none
                                                        << state([](KeyState &s) { s.sending = true; s.noteFocused = true; })
                                                        << Command::Escape << QString();
    QTest::newRow("NumLock on an SSB contact") << int(Qt::Key_NumLock) << none
                                               << state([](KeyState &s) { s.ssb = true; s.infoHasSsb = true; })
                                               << Command::ToggleKeyingSentRs << QString();
    QTest::newRow("NumLock") << int(Qt::Key_NumLock) << none << idle() << Command::ToggleKeying << QString();
    QTest::newRow("keypad /") << int(Qt::Key_Slash) << pad << idle() << Command::ToggleUser << QString();
    QTest::newRow("keypad +") << int(Qt::Key_Plus) << pad << idle() << Command::KeypadFunction << u"+"_s;
    QTest::newRow("keypad + while sending") << int(Qt::Key_Plus) << pad << sending << Command::Insert
                                            << u"\u00A4+ "_s;
    QTest::newRow("keypad . sends the call") << int(Qt::Key_Delete) << pad << idle() << Command::KeypadFunction
                                             << u"."_s;
    QTest::newRow("F7 smart text") << int(Qt::Key_F7) << none << idle() << Command::SmartText << u"7"_s;
    QTest::newRow("PgDn slows the keyer") << int(Qt::Key_PageDown) << none << sending << Command::SpeedStep << u"-2"_s;
    QTest::newRow("PgUp in data entry moves the caret") << int(Qt::Key_PageUp) << none << entry << Command::Pass
                                                        << QString();
    QTest::newRow("Scroll Lock") << int(Qt::Key_ScrollLock) << none << idle() << Command::ScrollEdit << QString();
    QTest::newRow("Backspace after everything went out")
        << int(Qt::Key_Backspace) << none << state([](KeyState &s) { s.everythingSent = true; s.sendBufferEmpty = false; })
        << Command::TakeBack << QString();
    QTest::newRow("Backspace on unsent text") << int(Qt::Key_Backspace) << none << typed << Command::Pass
                                              << QString();
    QTest::newRow("letters are typed") << int(Qt::Key_Q) << none << idle() << Command::Pass << QString();
}

void TestKeyCommands::keys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(KeyState, state);
    QFETCH(QString, detail);
    const KeyCommands::Decision d = KeyCommands::decide(key, Qt::KeyboardModifiers(modifiers), state);
    QTEST(d.command, "command");
    if (d.command == Command::Insert)
        QCOMPARE(d.text, detail);
    else if (d.command == Command::SmartText || d.command == Command::SpeedStep)
        QCOMPARE(QString::number(d.number), detail);
    else if (!detail.isEmpty())
        QCOMPARE(QString(d.key), detail);
}

QTEST_GUILESS_MAIN(TestKeyCommands)
#include "tst_keycommands.moc"
