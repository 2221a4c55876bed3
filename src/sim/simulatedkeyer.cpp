#include "simulatedkeyer.h"

#include "logtimestamp.h"
#include "morsecode.h"
#include "payloadcodec.h"

#include <QRandomGenerator>

#include <algorithm>

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
constexpr char NAK = 21;
constexpr char XOn = 17;
constexpr char XOff = 19;
// Keys and codes inside send-character and keypad-function commands.
constexpr char Enter = 13;
constexpr char CommandKey = 26;
constexpr char ToggleKeying = 27;
constexpr char StoreRecord = 30;
constexpr int LongestCall = 13;

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
    for (int key = 0; key < 10; ++key)
        m_messages[key] = "MSG " + QByteArray::number(key);
    connect(&m_stream, &LogStreamer::transmit, this, &SimulatedKeyer::transmit);
    connect(&m_stream, &LogStreamer::journal, this, &SimulatedKeyer::journal);
    connect(&m_stream, &LogStreamer::fallSilent, this, [this] { setSilent(true); });
    connect(&m_stream, &LogStreamer::exportCompleted, this, [this] { m_config.lastExported = qint16(m_log.count()); });
    connect(&m_stream, &LogStreamer::loadEnded, this, [this] {
        m_config.qsoCount = qint16(m_log.count());
        sendConfigEvent(true);
    });
    connect(&m_profile, &SimulatedProfile::journal, this, &SimulatedKeyer::journal);
    connect(&m_profile, &SimulatedProfile::loaded, this, [this] { send(QByteArray(1, ETX)); });
    connect(&m_trainer, &SimulatedTrainer::transmit, this, &SimulatedKeyer::transmit);
    connect(&m_trainer, &SimulatedTrainer::journal, this, &SimulatedKeyer::journal);
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
    c.lastExported = 0; // records exported so far: the next export starts at record 1
    c.status = 0;
    c.firmwareBuild = "10";
    c.currentSpeed = "20";
    return c;
}

int SimulatedKeyer::currentSpeed() const
{
    return m_config.currentSpeed.toInt();
}

void SimulatedKeyer::setConfig(const ConfigRecord &config)
{
    m_config = config;
    syncLogToCount();
}

void SimulatedKeyer::setQsoCount(qint16 count)
{
    m_config.qsoCount = count;
    syncLogToCount();
}

QDateTime SimulatedKeyer::now() const
{
    if (!m_clockBase.isValid())
        return QDateTime::currentDateTimeUtc();
    return m_clockBase.addMSecs(m_clockRunning.elapsed());
}

void SimulatedKeyer::setSilent(bool silent)
{
    m_silent = silent;
    if (!silent)
        return;
    // Switched off: whatever was under way is gone.
    m_trainer.stop();
    m_output.clear();
    m_outputTimer.stop();
    stopKeying();
    m_input.clear();
    m_payload.reset();
    m_commandTimer.stop();
    m_profile.abandon();
    m_stream.stop();
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
    if (m_letter == 'T') {
        m_trainer.feed(bytesFromHost, m_config.firmwareVersion);
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
    if (m_profile.isLoading()) {
        m_profile.take(m_input);
        return true;
    }
    if (m_stream.isLoading())
        return m_stream.takeLoadInput(&m_input);
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
            sendCharacter(argument);
        } else {
            note(u"keypad "_s + describeByte(argument));
            keypadFunction(argument, false);
        }
        return true;
    }
    case StartOfTransmission:
        note(u"start-of-transmission"_s);
        // Transmitting puts the keyer on the air; the host shows so itself.
        m_config.status &= quint8(~1);
        break;
    case KeyboardEntry:
    case STX:
        note(command == STX ? u"start-of-text"_s : u"keyboard-entry"_s);
        m_entry.openEntry();
        break;
    case ETX:
        note(u"end-of-text"_s);
        if (m_entry.isEntryOpen())
            closeEntry();
        break;
    case ToggleUser:
        note(u"toggle-user"_s);
        toggleUser();
        break;
    case StopTransfer:
        note(u"stop"_s);
        m_stream.stop();
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
        {'E', 0, &SimulatedKeyer::readLog},
        {'A', 4, &SimulatedKeyer::exportAdif},
        {'I', 0, &SimulatedKeyer::loadLog},
        {'X', 4, &SimulatedKeyer::readLog},
        {'Q', 0, &SimulatedKeyer::scrollLog},
        {'L', 0, &SimulatedKeyer::loadProfile},
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
    if (letter == 'L' && m_profile.answer() == SimulatedProfile::Answer::Refuse) {
        send(QByteArray(1, letter) + NAK + STX);
        return;
    }
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
    syncLogToCount();
    send(QByteArray(1, ACK));
    // The keyer shows what it now holds, as after a read.
    sendConfigEvent(true);
}

void SimulatedKeyer::setClock(const QByteArray &payload)
{
    m_clock = payload;
    note(u"clock "_s + QString::fromLatin1(payload));
    if (const auto time = LogTimestamp::decode(payload)) {
        m_clockBase = time->toDateTime();
        m_clockRunning.start();
    }
    send(QByteArray(1, ETX));
}

void SimulatedKeyer::loadProfile(const QByteArray &)
{
    m_profile.begin();
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

void SimulatedKeyer::queueKeying(char c)
{
    m_keying.append(KeyingItem{KeyingItem::Character, c});
    keyNext();
}

void SimulatedKeyer::stopKeying()
{
    m_keying.clear();
    m_keyingTimer.stop();
    m_paused = false;
    m_keyingMessage = false;
}

// Each character is reported as its keying begins; the next one starts
// when it has been keyed, gap included. Functions inside the text act when
// the keying reaches them.
void SimulatedKeyer::keyNext()
{
    if (!m_keyingTimer.isActive())
        m_keyingMessage = false;
    while (!m_keyingTimer.isActive() && !m_paused && !m_keying.isEmpty()) {
        const KeyingItem item = m_keying.takeFirst();
        switch (item.kind) {
        case KeyingItem::EndOfMessage:
            send(QByteArray(1, ETX));
            break;
        case KeyingItem::Function:
            if (item.code == StoreRecord)
                storeRecord(true);
            else
                keypadFunction(char(quint8(item.code) - 128), true);
            break;
        case KeyingItem::Character:
            m_keyingMessage = item.fromMessage;
            send(QByteArray(1, item.code));
            noteKeyed(item.code);
            m_keyingTimer.start(MorseCode::durationMs(item.code, currentSpeed()));
            break;
        }
    }
}

void SimulatedKeyer::noteKeyed(char c)
{
    m_entry.keyed(c);
    // With automatic logging on, the end-of-contact sign <sk> stores the QSO.
    if (c == '#' && !(m_config.optionWord & Option::AutoLoggingOff) && !m_log.isEditing()
        && !m_log.call().isEmpty())
        storeRecord(false);
}

bool SimulatedKeyer::messageUnderWay() const
{
    return m_keyingMessage
        || std::any_of(m_keying.begin(), m_keying.end(), [](const KeyingItem &item) { return item.fromMessage; });
}

void SimulatedKeyer::startMessage(char key, bool inStream)
{
    QList<KeyingItem> items;
    for (char c : std::as_const(m_messages[key - '0'])) {
        if (c == ' ' || MorseCode::units(c) > 0)
            items.append(KeyingItem{KeyingItem::Character, MorseCode::upper(c), true});
    }
    items.append(KeyingItem{KeyingItem::EndOfMessage, 0, true});
    // A message key inside the text is keyed at its place in the text.
    if (inStream)
        m_keying = items + m_keying;
    else
        m_keying += items;
    keyNext();
}

// Functions from the host ---------------------------------------------------

// A send-character is entry text inside keyboard entry, a command letter
// after the command key, else text to key or, from code 128 up and for the
// store code, a function at its place in the text.
void SimulatedKeyer::sendCharacter(char c)
{
    const auto code = quint8(c);
    if (m_entry.isEntryOpen()) {
        m_entry.addToEntry(c);
        return;
    }
    if (m_commandKey) {
        m_commandKey = false;
        commandKeyLetter(MorseCode::upper(c));
        return;
    }
    if (code >= 128 || c == StoreRecord) {
        m_keying.append(KeyingItem{KeyingItem::Function, c});
        keyNext();
    } else if (c == '<') {
        takeBack();
    } else if (c == Enter) {
        // Enter ends the line: a word gap, reported as a space.
        queueKeying(' ');
    } else if (code >= 32) {
        // A character without a code is keyed as a word gap, so that the
        // host still gets its report.
        queueKeying(MorseCode::units(c) > 0 ? MorseCode::upper(c) : ' ');
    }
}

void SimulatedKeyer::keypadFunction(char key, bool inStream)
{
    if (key != CommandKey)
        m_commandKey = false;
    // Keyboard entry serves only the keypad function right after it.
    if (!inStream && key != Enter && key != '+')
        m_entry.dropHeld();
    if (key >= '0' && key <= '9') {
        startMessage(key, inStream);
        return;
    }
    switch (key) {
    case Enter: {
        const QByteArray call = m_entry.takeArgument(inStream).left(LongestCall);
        if (call.isEmpty())
            return;
        m_log.recordCall(call, station());
        reportOpenRecord();
        break;
    }
    case '+': {
        const QByteArray piece = m_entry.takeArgument(inStream);
        if (piece.isEmpty())
            return;
        m_log.recordPiece(piece);
        reportOpenRecord();
        break;
    }
    case '*':
        m_entry.expect(QsoEntry::Field::ReceivedReport);
        break;
    case '/':
        if (m_config.optionWord & Option::ContestMode)
            m_entry.expect(QsoEntry::Field::ReceivedSerial);
        break;
    case '-':
        m_entry.reset();
        if (m_log.isEditing()) {
            // The edit is dropped; the host leaves its edit mode on the
            // stored-record event.
            m_log.clear();
            send(QByteArray(1, QsoStored), m_eventGapMs);
        } else {
            m_log.clear();
            // The emptied record: no call, nothing known.
            sendCallReport(m_log.callReport(station()));
        }
        break;
    case '.':
        if (messageUnderWay()) {
            m_paused = !m_paused;
            keyNext();
        } else {
            // Send call: the call of the open record, on the air.
            for (char c : m_log.call()) {
                if (MorseCode::units(c) > 0)
                    queueKeying(c);
            }
        }
        break;
    case '<':
        takeBack();
        break;
    case ToggleKeying:
        m_config.status ^= 1;
        // In SSB the same key asks for the report sent.
        if (m_config.optionWord & Option::SSB)
            m_entry.expect(QsoEntry::Field::SentReport);
        sendConfigEvent(true);
        break;
    case CommandKey:
        if (m_tuning != 0) {
            m_tuning = 0;
            note(u"tune off"_s);
        } else {
            m_commandKey = true;
        }
        break;
    default:
        break;
    }
}

void SimulatedKeyer::commandKeyLetter(char letter)
{
    switch (letter) {
    case '<':
        deleteOrSearch();
        break;
    case 'U':
        undelete();
        break;
    case 'T': // continuous key-down
    case 'P': // pulses
        m_tuning = letter;
        note(u"tune "_s + QLatin1Char(letter));
        break;
    default:
        break;
    }
}

// The host reads the acknowledgement with a count of bytes, so it is two
// bytes on their own; the block that shows the new user follows as an
// event.
void SimulatedKeyer::toggleUser()
{
    m_config.optionWord ^= Option::User2;
    send(QByteArray{"\x04\x06", 2});
    sendConfigEvent(true);
}

// Digits go where the last function asked for them (received report after
// "*", serial number after "/", report sent after the keying key in SSB)
// or, while a record is edited, to its report sent.
void SimulatedKeyer::closeEntry()
{
    using Field = QsoEntry::Field;
    QByteArray digits;
    const Field field = m_entry.closeEntry(m_log.isEditing() ? Field::SentReport : Field::None, &digits);
    if (field == Field::None)
        return;
    if (field == Field::ReceivedReport)
        m_log.recordReceivedReport(digits);
    else if (field == Field::SentReport)
        m_log.recordSentReport(digits);
    else
        m_log.recordReceivedSerial(digits.toInt());
    reportOpenRecord();
}

// A character still waiting is dropped; one already keyed is taken out of
// the word. The host asked for it and mends its own monitor, so the keyer
// reports nothing (its erase event stands for its own take-backs).
void SimulatedKeyer::takeBack()
{
    if (!m_keying.isEmpty() && m_keying.last().kind == KeyingItem::Character) {
        m_keying.removeLast();
        return;
    }
    m_entry.takeBackKeyed();
}

// Storing a new QSO changes the count (and the next serial number in
// contest mode). The keyer shows its configuration first, so that the host
// knows the new count when the stored event arrives. The store code is
// answered even without a call, as the host waits for it; <sk> is not.
void SimulatedKeyer::storeRecord(bool reportEmpty)
{
    const bool editing = m_log.isEditing();
    const SimulatedLog::Station here = station();
    const int index = m_log.store(here);
    m_entry.reset();
    if (index < 0) {
        // Nothing to store; the record is closed all the same.
        m_log.clear();
        if (!reportEmpty)
            return;
    } else {
        note((editing ? u"changed %1 "_s : u"stored %1 "_s).arg(index + 1)
             + QString::fromLatin1(m_log.records().at(index).encode()));
        if (!editing) {
            m_config.qsoCount = qint16(m_log.count());
            if (here.contest)
                m_config.serialNumber = (m_config.serialNumber + 1) % 1000000;
            sendConfigEvent(true);
        }
    }
    send(QByteArray(1, QsoStored), m_eventGapMs);
}

// The command key's "<" deletes the record being edited; with a call in
// progress it looks up the last QSO with that call; else it deletes the
// last QSO. Either way the record is shown for editing.
void SimulatedKeyer::deleteOrSearch()
{
    int index = m_log.count() - 1;
    if (m_log.isEditing()) {
        index = m_log.editIndex();
    } else if (!m_log.call().isEmpty()) {
        index = m_log.previousContact(m_log.call(), m_log.count());
        if (index >= 0)
            showForEditing(index);
        return;
    }
    if (index < 0)
        return;
    if (m_log.setDeleted(index, true))
        note(u"deleted %1"_s.arg(index + 1));
    showForEditing(index);
}

void SimulatedKeyer::undelete()
{
    const int index = m_log.isEditing() ? m_log.editIndex() : m_log.count() - 1;
    if (index < 0)
        return;
    if (m_log.setDeleted(index, false))
        note(u"undeleted %1"_s.arg(index + 1));
    showForEditing(index);
}

// Scroll / edit: the last record first, then one further back each time.
void SimulatedKeyer::scrollLog(const QByteArray &)
{
    if (m_log.count() == 0)
        return;
    showForEditing(m_log.isEditing() ? qMax(0, m_log.editIndex() - 1) : m_log.count() - 1);
}

// The record-for-editing event, then the record as a call report. The
// pause keeps the event apart from an acknowledgement before it.
void SimulatedKeyer::showForEditing(int index)
{
    if (m_log.editIndex() != index)
        m_log.edit(index);
    send(QByteArray(1, RecordForEditing), m_eventGapMs);
    reportOpenRecord();
}

void SimulatedKeyer::reportOpenRecord()
{
    if (!m_log.call().isEmpty())
        sendCallReport(m_log.callReport(station()));
}

void SimulatedKeyer::sendCallReport(const QByteArray &payload)
{
    send(QByteArray(1, STX));
    send(payload + ETX, m_eventGapMs);
}

// "E" reads the whole log, "A" and "X" from the 0-based record they give:
// the records after a pause, then byte 3 on its own.
void SimulatedKeyer::readLog(const QByteArray &payload)
{
    const int start = payload.isEmpty() ? 0 : PayloadCodec::fromHex16(payload);
    m_stream.startStream(m_log.exportFrom(start), m_lineSpeed, m_eventGapMs, false);
}

// The ADIF export is what feeds the online logbooks: it alone moves the
// export mark, so that the QSO list's reads leave it where it was.
void SimulatedKeyer::exportAdif(const QByteArray &payload)
{
    m_stream.startStream(m_log.exportFrom(PayloadCodec::fromHex16(payload)), m_lineSpeed, m_eventGapMs, true);
}

// The records follow line by line; the keyer shows its configuration with
// the new count once the load has ended.
void SimulatedKeyer::loadLog(const QByteArray &)
{
    m_stream.startLoad(m_lineSpeed);
}

void SimulatedKeyer::seedLog(const QList<LogRecord> &records)
{
    m_log.replace(records);
    m_config.qsoCount = qint16(m_log.count());
}

SimulatedLog::Station SimulatedKeyer::station() const
{
    return SimulatedLog::Station::of(m_config, now());
}

void SimulatedKeyer::syncLogToCount()
{
    m_log.resize(m_config.qsoCount, station());
}

// The keyer's own actions ---------------------------------------------------

void SimulatedKeyer::addContact(const QByteArray &call, const QByteArray &name, const QByteArray &qth)
{
    m_log.addContact(call, name, qth, station());
    m_config.qsoCount = qint16(m_log.count());
}

void SimulatedKeyer::journalLog()
{
    for (int i = 0; i < m_log.count(); ++i)
        note(u"log %1 "_s.arg(i + 1) + QString::fromLatin1(m_log.records().at(i).encode()));
    note(u"log end %1"_s.arg(m_log.count()));
}

void SimulatedKeyer::setMessage(int key, const QByteArray &text)
{
    m_messages[qBound(0, key, 9)] = text;
}

void SimulatedKeyer::keyText(const QByteArray &text)
{
    if (m_letter == 'T') {
        m_trainer.keyText(text);
        return;
    }
    for (char c : text) {
        if (c == ' ' || MorseCode::units(c) > 0)
            queueKeying(MorseCode::upper(c));
    }
}

void SimulatedKeyer::turnSpeedKnob(int wpm)
{
    if (m_letter == 'T') {
        m_trainer.turnSpeedKnob(wpm);
        return;
    }
    m_config.currentSpeed = QByteArray::number(wpm);
    send(SetSpeed + Hex8(quint8(wpm)));
}

void SimulatedKeyer::reportCall(const QByteArray &call, const QByteArray &info)
{
    sendCallReport(call + MiddleDot + info);
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
