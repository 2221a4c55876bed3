#include "simulatedkeyer.h"

#include "payloadcodec.h"

#include <QRandomGenerator>

using namespace Qt::StringLiterals;
using PayloadCodec::Hex8;

namespace {

constexpr char SetSpeed = 1;
constexpr char StartOfTransmission = 7;
constexpr char KeyboardEntry = 8;
constexpr char SendCharacter = 9;
constexpr char KeypadFunction = 16;
constexpr char ToggleUser = 4;
constexpr char StopTransfer = 18;
constexpr char XOn = 17;
constexpr char XOff = 19;

struct MorseEntry
{
    char character;
    const char *code;
};

// The keyer stands for each prosign with one character; the monitor shows
// them bracketed (+ <ar>, ( <kn>, > <bk>, & <as>, % <ka>, ^ <ve>, # <sk>).
constexpr MorseEntry MorseTable[] = {
    {'A', ".-"}, {'B', "-..."}, {'C', "-.-."}, {'D', "-.."}, {'E', "."},
    {'F', "..-."}, {'G', "--."}, {'H', "...."}, {'I', ".."}, {'J', ".---"},
    {'K', "-.-"}, {'L', ".-.."}, {'M', "--"}, {'N', "-."}, {'O', "---"},
    {'P', ".--."}, {'Q', "--.-"}, {'R', ".-."}, {'S', "..."}, {'T', "-"},
    {'U', "..-"}, {'V', "...-"}, {'W', ".--"}, {'X', "-..-"}, {'Y', "-.--"},
    {'Z', "--.."},
    {'0', "-----"}, {'1', ".----"}, {'2', "..---"}, {'3', "...--"}, {'4', "....-"},
    {'5', "....."}, {'6', "-...."}, {'7', "--..."}, {'8', "---.."}, {'9', "----."},
    {'.', ".-.-.-"}, {',', "--..--"}, {'?', "..--.."}, {'\'', ".----."},
    {'!', "-.-.--"}, {'/', "-..-."}, {')', "-.--.-"}, {':', "---..."},
    {';', "-.-.-."}, {'-', "-....-"}, {'_', "..--.-"}, {'"', ".-..-."},
    {'$', "...-..-"}, {'@', ".--.-."}, {'=', "-...-"},
    {'+', ".-.-."}, {'(', "-.--."}, {'>', "-...-.-"}, {'&', ".-..."},
    {'%', "-.-.-"}, {'^', "...-."}, {'#', "...-.-"}, {'*', "----"},
    // Latin-1 codes the keyer uses for its three extra letters.
    {char(192), ".--.-"}, {char(196), ".-.-"}, {char(214), "---."},
};

char upperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

} // namespace

SimulatedKeyer::SimulatedKeyer(QObject *parent)
    : QObject(parent)
    , m_config(defaultConfig())
{
    m_commandTimer.setSingleShot(true);
    m_commandTimer.setInterval(2000);
    connect(&m_commandTimer, &QTimer::timeout, this, &SimulatedKeyer::abandonPartialInput);
    m_outputTimer.setSingleShot(true);
    connect(&m_outputTimer, &QTimer::timeout, this, &SimulatedKeyer::pumpOutput);
    m_keyingTimer.setSingleShot(true);
    m_keyingTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_keyingTimer, &QTimer::timeout, this, &SimulatedKeyer::keyNext);
}

ConfigRecord SimulatedKeyer::defaultConfig()
{
    ConfigRecord c;
    c.qsoCount = 0;
    c.contrast = 8;
    c.profileIndex = 0;
    c.serialNumber = 1;
    c.firmwareVersion = "41";
    c.pitch = 12;
    c.volume = 127;
    c.speedLow = 10;
    c.speedHigh = 40;
    c.band = 7; // 20 m
    c.optionWord = Option::ToneOn; // keyer mode 0 (Iambic B1)
    c.trDelay = 0;
    c.trExtension = 0;
    c.lastExported = -1; // nothing exported yet: an export starts at record 0
    c.status = 0;
    c.firmwareBuild = "10";
    c.currentSpeed = "20";
    return c;
}

int SimulatedKeyer::currentSpeed() const
{
    return m_config.currentSpeed.toInt();
}

void SimulatedKeyer::setSilent(bool silent)
{
    m_silent = silent;
    if (!silent)
        return;
    // Switched off: whatever was under way is gone.
    m_output.clear();
    m_outputTimer.stop();
    stopKeying();
    m_input.clear();
    m_payload.reset();
    m_commandTimer.stop();
}

int SimulatedKeyer::keyingBacklog() const
{
    return int(m_keying.size()) + (m_keyingTimer.isActive() ? 1 : 0);
}

// Host side -----------------------------------------------------------------

void SimulatedKeyer::feed(const QByteArray &bytesFromHost)
{
    if (bytesFromHost.isEmpty())
        return;
    if (m_silent) {
        note(u"silent "_s + hexBytes(bytesFromHost));
        return;
    }
    // At the wrong baud rate the keyer's UART sees only noise.
    if (m_requiredLineSpeed != 0 && m_lineSpeed != m_requiredLineSpeed) {
        note(u"noise "_s + hexBytes(bytesFromHost));
        return;
    }
    m_input.append(bytesFromHost);
    processInput();
}

void SimulatedKeyer::processInput()
{
    // A reply may reach a receiver that feeds more bytes at once; the loop
    // below picks them up.
    if (m_processing)
        return;
    m_processing = true;
    while (!m_input.isEmpty() && processCommand()) {
    }
    m_processing = false;
    if (m_input.isEmpty() && !m_payload)
        m_commandTimer.stop();
    else
        m_commandTimer.start();
}

bool SimulatedKeyer::processCommand()
{
    // XON and XOFF of the host's flow control frame nothing; only the raw
    // speed of a set-speed command may carry those two codes.
    if (m_input.at(0) == XOn || m_input.at(0) == XOff) {
        m_input.remove(0, 1);
        return true;
    }
    if (m_payload) {
        // Payloads are printable; a stop byte means the host gave up.
        const qsizetype stop = m_input.indexOf(StopTransfer);
        if (stop >= 0 && stop < m_payload->length) {
            note(u"abandoned payload "_s + describeByte(m_payload->letter));
            note(u"stop"_s);
            m_payload.reset();
            m_input.remove(0, stop + 1);
            stopKeying();
            return true;
        }
        if (m_input.size() < m_payload->length)
            return false;
        const PendingPayload pending = *m_payload;
        m_payload.reset();
        const QByteArray payload = m_input.first(pending.length);
        m_input.remove(0, pending.length);
        (this->*pending.handler)(payload);
        return true;
    }

    const char command = m_input.at(0);
    switch (command) {
    case ENQ:
    case SetSpeed:
    case SendCharacter:
    case KeypadFunction: {
        if (m_input.size() < 2)
            return false;
        const char argument = m_input.at(1);
        m_input.remove(0, 2);
        if (command == ENQ) {
            if (argument == '?') {
                note(u"identify"_s);
                const QByteArray answer = QByteArray{"?"} + m_letter + ACK;
                send(answer.first(m_answerSplit));
                send(answer.sliced(m_answerSplit), m_answerSplit > 0 ? m_eventGapMs : 0);
            } else {
                runLetterCommand(argument);
            }
        } else if (command == SetSpeed) {
            const int wpm = quint8(argument);
            m_config.currentSpeed = QByteArray::number(wpm);
            note(u"speed %1"_s.arg(wpm));
        } else if (command == SendCharacter) {
            note(u"char "_s + describeByte(argument));
            // Codes below 32 and from 128 up are functions (store the
            // record, message keys), not text to key.
            if (argument == ' ' || characterUnits(argument) > 0)
                queueKeying(upperAscii(argument));
        } else {
            note(u"keypad "_s + describeByte(argument));
        }
        return true;
    }
    case StartOfTransmission:
        note(u"start-of-transmission"_s);
        break;
    case KeyboardEntry:
        note(u"keyboard-entry"_s);
        break;
    case STX:
        note(u"start-of-text"_s);
        break;
    case ETX:
        note(u"end-of-text"_s);
        queueEndOfMessage();
        break;
    case ToggleUser:
        note(u"toggle-user"_s);
        m_config.optionWord ^= Option::User2;
        break;
    case StopTransfer:
        note(u"stop"_s);
        stopKeying();
        break;
    default:
        note(u"byte "_s + describeByte(command));
        break;
    }
    m_input.remove(0, 1);
    return true;
}

// Every acknowledged command is listed here; a letter that is not gets the
// acknowledgement and nothing else.
const SimulatedKeyer::LetterCommand *SimulatedKeyer::findLetterCommand(char letter)
{
    static const LetterCommand commands[] = {
        {'S', 0, &SimulatedKeyer::readConfiguration},
        {'C', ConfigBlock::SentLength, &SimulatedKeyer::writeConfiguration},
        {'T', 12, &SimulatedKeyer::setClock},
    };
    for (const LetterCommand &command : commands) {
        if (command.letter == letter)
            return &command;
    }
    return nullptr;
}

void SimulatedKeyer::runLetterCommand(char letter)
{
    note(u"command "_s + describeByte(letter));
    send(QByteArray(1, letter) + ACK + STX);
    const LetterCommand *command = findLetterCommand(letter);
    if (!command)
        return;
    if (command->payloadLength == 0)
        (this->*command->handler)(QByteArray());
    else
        expectPayload(letter, command->payloadLength, command->handler);
}

void SimulatedKeyer::expectPayload(char letter, int length, PayloadHandler handler)
{
    m_payload = PendingPayload{letter, length, handler};
}

void SimulatedKeyer::abandonPartialInput()
{
    if (m_payload)
        note(u"abandoned payload "_s + describeByte(m_payload->letter));
    if (!m_input.isEmpty())
        note(u"abandoned bytes "_s + hexBytes(m_input));
    m_payload.reset();
    m_input.clear();
}

void SimulatedKeyer::readConfiguration(const QByteArray &)
{
    sendConfigEvent(true);
}

void SimulatedKeyer::writeConfiguration(const QByteArray &payload)
{
    note(u"config "_s + QString::fromLatin1(payload));
    readSentBlock(payload, &m_config);
    send(QByteArray(1, ACK));
    // The keyer shows what it now holds, as after a read.
    sendConfigEvent(true);
}

void SimulatedKeyer::setClock(const QByteArray &payload)
{
    m_clock = payload;
    note(u"clock "_s + QString::fromLatin1(payload));
    send(QByteArray(1, ETX));
}

void SimulatedKeyer::readSentBlock(QByteArrayView block, ConfigRecord *record)
{
    // The keyer keeps its read-only fields; the rest is what the host wrote.
    ConfigRecord written = ConfigBlock::ParseSentBlock(block);
    written.firmwareVersion = record->firmwareVersion;
    written.status = record->status;
    written.firmwareBuild = record->firmwareBuild;
    written.currentSpeed = record->currentSpeed;
    *record = written;
}

// Output ----------------------------------------------------------------------

// The host reads the payload of a framed event with a fresh receive after
// it has seen the start byte, so the start byte leaves on its own.
void SimulatedKeyer::sendConfigEvent(bool closed)
{
    QByteArray block = ConfigBlock::BuildReceivedBlock(m_config);
    if (closed)
        block += ETX;
    send(QByteArray(1, ConfigEvent), m_eventGapMs);
    send(block, m_eventGapMs);
}

void SimulatedKeyer::send(const QByteArray &bytes, int pauseBeforeMs)
{
    m_output.append(OutputChunk{bytes, pauseBeforeMs});
    pumpOutput();
}

void SimulatedKeyer::pumpOutput()
{
    while (!m_outputTimer.isActive() && !m_output.isEmpty()) {
        OutputChunk &head = m_output.first();
        if (head.pauseBeforeMs > 0) {
            m_outputTimer.start(head.pauseBeforeMs);
            head.pauseBeforeMs = 0;
            return;
        }
        const QByteArray bytes = m_output.takeFirst().bytes;
        if (!m_silent && !bytes.isEmpty())
            emit transmit(bytes);
    }
}

// Keying --------------------------------------------------------------------

QByteArray SimulatedKeyer::morseCode(char c)
{
    const char upper = upperAscii(c);
    for (const MorseEntry &entry : MorseTable) {
        if (entry.character == upper)
            return QByteArray(entry.code);
    }
    return {};
}

int SimulatedKeyer::characterUnits(char c)
{
    // The character before a space already ended with three units of gap;
    // a word gap is seven.
    if (c == ' ')
        return 4;
    const QByteArray code = morseCode(c);
    if (code.isEmpty())
        return 0;
    int units = 0;
    for (char element : code)
        units += element == '-' ? 3 : 1;
    units += int(code.size()) - 1; // gaps inside the character
    return units + 3;              // gap to the next character
}

int SimulatedKeyer::characterDurationMs(char c, int wpm)
{
    return characterUnits(c) * 1200 / qMax(1, wpm);
}

void SimulatedKeyer::queueKeying(char c)
{
    m_keying.append(KeyingItem{c, false});
    keyNext();
}

void SimulatedKeyer::queueEndOfMessage()
{
    m_keying.append(KeyingItem{0, true});
    keyNext();
}

void SimulatedKeyer::stopKeying()
{
    m_keying.clear();
    m_keyingTimer.stop();
}

// Each character is reported as its keying begins; the next one starts
// when it has been keyed, gap included.
void SimulatedKeyer::keyNext()
{
    while (!m_keyingTimer.isActive() && !m_keying.isEmpty()) {
        const KeyingItem item = m_keying.takeFirst();
        if (item.endOfMessage) {
            send(QByteArray(1, ETX));
            continue;
        }
        send(QByteArray(1, item.character));
        m_keyingTimer.start(characterDurationMs(item.character, currentSpeed()));
    }
}

// The keyer's own actions ---------------------------------------------------

void SimulatedKeyer::keyText(const QByteArray &text)
{
    for (char c : text) {
        if (c == ' ' || characterUnits(c) > 0)
            queueKeying(upperAscii(c));
    }
}

void SimulatedKeyer::turnSpeedKnob(int wpm)
{
    m_config.currentSpeed = QByteArray::number(wpm);
    send(SetSpeed + Hex8(quint8(wpm)));
}

void SimulatedKeyer::reportCall(const QByteArray &call, const QByteArray &info)
{
    send(QByteArray(1, STX));
    send(call + MiddleDot + info + ETX, m_eventGapMs);
}

void SimulatedKeyer::sendGarbage(int count)
{
    QByteArray bytes;
    bytes.reserve(count);
    auto *random = QRandomGenerator::global();
    while (bytes.size() < count) {
        const char c = char(random->bounded(256));
        if (c != XOn && c != XOff)
            bytes.append(c);
    }
    send(bytes);
}

void SimulatedKeyer::sendUnframedConfig()
{
    sendConfigEvent(false);
}

void SimulatedKeyer::sendRaw(const QByteArray &bytes)
{
    send(bytes);
}

void SimulatedKeyer::sendSplitSpeed(int wpm, int pauseMs)
{
    m_config.currentSpeed = QByteArray::number(wpm);
    const QByteArray digits = Hex8(quint8(wpm));
    send(SetSpeed + digits.first(1));
    send(digits.sliced(1), pauseMs);
}

// Journal text ----------------------------------------------------------------

QString SimulatedKeyer::describeByte(char c)
{
    const auto code = quint8(c);
    if (code > 0x20 && code < 0x7F)
        return QString(QChar::fromLatin1(c));
    return QString::fromLatin1(Hex8(code));
}

QString SimulatedKeyer::hexBytes(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}
