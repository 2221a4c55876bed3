#include "simulatedtrainer.h"

#include "messageload.h"
#include "messagestore.h"
#include "morsecode.h"
#include "payloadcodec.h"
#include "spacingrules.h"

using namespace Qt::StringLiterals;
using PayloadCodec::Hex8;

namespace {

constexpr char ETX = 3;
constexpr char ENQ = 5;
constexpr char ACK = 6;
constexpr char STX = 2;
constexpr char BEL = 7;
constexpr char BS = 8;
constexpr char TAB = 9;
constexpr char CR = 13;
constexpr char SO = 0x0E;
constexpr char SI = 0x0F;
constexpr char DLE = 0x10;
constexpr char DC2 = 0x12;
constexpr char DC4 = 0x14;

QString describe(char c)
{
    const auto code = quint8(c);
    return code > 0x20 && code < 0x7F ? QString(QChar::fromLatin1(c)) : QString::fromLatin1(Hex8(code));
}

} // namespace

SimulatedTrainer::SimulatedTrainer(QObject *parent) : QObject(parent)
{
    m_config[TrainerConfig::Contrast] = 8;
    m_config[TrainerConfig::Pitch] = 12;
    m_config[TrainerConfig::Carried2] = 0x5A;
    m_config[TrainerConfig::Volume] = 127;
    m_config[TrainerConfig::SpeedLow] = 10;
    m_config[TrainerConfig::SpeedHigh] = 40;
    m_config[TrainerConfig::Carried6] = 0x33;
    m_config[TrainerConfig::CharSpace] = SpacingRules::StandardCharSpace;
    m_config[TrainerConfig::WordSpace] = SpacingRules::StandardWordSpace;
    m_config.charSpeed = 20;
    m_stallTimer.setSingleShot(true);
    m_stallTimer.setInterval(2000);
    connect(&m_stallTimer, &QTimer::timeout, this, [this] {
        if (m_load != LoadState::Off)
            endLoad(u"abandoned load"_s);
        else if (!m_input.isEmpty())
            note(u"abandoned bytes "_s + QString::fromLatin1(m_input.toHex(' ').toUpper()));
        m_input.clear();
        m_expectBlock = false;
    });
    m_outputTimer.setSingleShot(true);
    connect(&m_outputTimer, &QTimer::timeout, this, &SimulatedTrainer::pumpOutput);
    m_keyingTimer.setSingleShot(true);
    m_keyingTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_keyingTimer, &QTimer::timeout, this, &SimulatedTrainer::keyNext);
}

void SimulatedTrainer::feed(const QByteArray &bytesFromHost, const QByteArray &firmwareVersion)
{
    m_config.firmwareVersion = firmwareVersion;
    m_input += bytesFromHost;
    while (!m_input.isEmpty() && processCommand()) {
    }
    if (m_input.isEmpty() && m_load == LoadState::Off)
        m_stallTimer.stop();
    else
        m_stallTimer.start();
}

// False when the command at the front is not complete yet.
bool SimulatedTrainer::processCommand()
{
    if (m_load != LoadState::Off) {
        takeLoad();
        return !m_input.isEmpty();
    }
    if (m_expectBlock) {
        if (m_input.size() < TrainerBlock::Length)
            return false;
        const QByteArray block = m_input.first(TrainerBlock::Length);
        m_input.remove(0, TrainerBlock::Length);
        m_expectBlock = false;
        note(u"config "_s + QString::fromLatin1(block));
        TrainerBlock::parse(block, &m_config);
        send(QByteArray(1, ACK));
        // The spacing decides the word speed.
        sendSpeedReport();
        return true;
    }
    const char command = m_input.at(0);
    switch (command) {
    case ENQ:
    case DLE:
    case TAB: {
        if (m_input.size() < 2)
            return false;
        const char argument = m_input.at(1);
        m_input.remove(0, 2);
        if (command == ENQ)
            letterCommand(argument);
        else if (command == DLE)
            keypad(argument);
        else
            note(argument == ' ' ? u"cwoip listen"_s : u"byte 09 "_s + describe(argument));
        return true;
    }
    case SO: {
        if (m_input.size() < 3)
            return false;
        const int speed = quint8(m_input.at(1));
        const char c = m_input.at(2);
        m_input.remove(0, 3);
        note(u"cwoip %1 %2"_s.arg(speed).arg(describe(c)));
        queue(KeyedItem{c, speed, Origin::Peer});
        return true;
    }
    case DC2:
        note(u"stop"_s);
        break;
    default:
        note(u"byte "_s + describe(command));
        break;
    }
    m_input.remove(0, 1);
    return true;
}

void SimulatedTrainer::letterCommand(char letter)
{
    if (letter == '?') {
        note(u"identify"_s);
        send("?T"_ba + ACK + m_config.firmwareVersion);
        return;
    }
    note(u"command "_s + describe(letter));
    send(QByteArray(1, letter) + ACK + STX);
    switch (letter) {
    case 'S':
        sendConfigEvent();
        sendSpeedReport();
        break;
    case 'C':
        m_expectBlock = true;
        break;
    case 'L':
        m_load = LoadState::SlotStart;
        m_firstSlot = true;
        m_loading.clear();
        m_loadBody.clear();
        m_loadedBytes = 0;
        break;
    default:
        break;
    }
}

// The stream after "L": message 00's body or a header "<nn>" at each slot,
// bodies up to their NUL, a NUL at a slot for the end of the set.
void SimulatedTrainer::takeLoad()
{
    // More than the memory and every header can hold is not a message set.
    constexpr qint64 Limit = MessageLoad::Capacity + 4 * MessageStore::MessageCount + 1;
    qsizetype used = 0;
    while (used < m_input.size() && m_load != LoadState::Off) {
        const char c = m_input.at(used++);
        if (++m_loadedBytes > Limit) {
            endLoad(u"load overflow"_s);
            break;
        }
        switch (m_load) {
        case LoadState::SlotStart:
            if (c == '\0') {
                if (!m_firstSlot) {
                    storeLoaded();
                    break;
                }
                m_loading.insert(0, {});
            } else if (c == '<') {
                m_load = LoadState::Header;
                m_loadBody.clear();
            } else if (m_firstSlot) {
                m_loadNumber = 0;
                m_loadBody = QByteArray(1, c);
                m_load = LoadState::Body;
            } else {
                endLoad(u"load error: no header at byte %1"_s.arg(m_loadedBytes));
                break;
            }
            m_firstSlot = false;
            break;
        case LoadState::Header:
            m_loadBody += c;
            if (m_loadBody.size() == 3) {
                bool ok = false;
                m_loadNumber = m_loadBody.first(2).toInt(&ok);
                if (!ok || m_loadBody.at(2) != '>') {
                    endLoad(u"load error: bad header"_s);
                    break;
                }
                m_loadBody.clear();
                m_load = LoadState::Body;
            }
            break;
        case LoadState::Body:
            if (c == '\0') {
                m_loading.insert(m_loadNumber, m_loadBody);
                m_loadBody.clear();
                m_load = LoadState::SlotStart;
            } else {
                m_loadBody += c;
            }
            break;
        case LoadState::Off:
            break;
        }
    }
    m_input.remove(0, used);
}

void SimulatedTrainer::storeLoaded()
{
    m_messages = m_loading;
    for (auto it = m_messages.cbegin(); it != m_messages.cend(); ++it)
        note(u"message %1 %2"_s.arg(it.key(), 2, 10, QLatin1Char('0')).arg(QString::fromLatin1(it.value().toHex().toUpper())));
    endLoad(u"messages %1"_s.arg(m_messages.size()));
    send(QByteArray(1, ETX));
}

void SimulatedTrainer::endLoad(const QString &why)
{
    note(why);
    m_load = LoadState::Off;
    m_loading.clear();
    m_loadBody.clear();
}

void SimulatedTrainer::keypad(char key)
{
    note(u"keypad "_s + describe(key));
    if (m_expectLesson && key >= '0' && key <= '9') {
        m_expectLesson = false;
        m_config[TrainerConfig::Lesson] = quint8(key - '0');
        sendConfigEvent();
        return;
    }
    m_expectLesson = false;
    if (key >= '0' && key <= '9') {
        const int number = m_config[TrainerConfig::Lesson] * 10 + (key - '0');
        const QByteArray text = m_messages.value(number);
        if (text.isEmpty())
            return;
        m_keying.clear();
        m_keyingTimer.stop();
        m_paused = false;
        send(QByteArray(1, BEL));
        for (char c : text)
            queue(KeyedItem{c, m_config.charSpeed, Origin::Lesson});
        m_keying.append(KeyedItem{0, 0, Origin::Lesson, true});
        keyNext();
        return;
    }
    switch (key) {
    case '/':
        m_expectLesson = true;
        break;
    case '.':
        send(QByteArray(1, DC2));
        break;
    case CR:
        m_paused = !m_paused;
        send(QByteArray(1, m_paused ? BS : BEL));
        keyNext();
        break;
    case '-':
        m_keying.clear();
        send(QByteArray(1, BS));
        break;
    default:
        break;
    }
}

void SimulatedTrainer::sendConfigEvent()
{
    send(QByteArray(1, DC4), m_eventGapMs);
    send(TrainerBlock::build(m_config) + ETX, m_eventGapMs);
}

void SimulatedTrainer::sendSpeedReport()
{
    const int wordSpeed = SpacingRules::effectiveWordSpeed(m_config.charSpeed, m_config[TrainerConfig::CharSpace],
                                                           m_config[TrainerConfig::WordSpace]);
    m_config.wordSpeed = quint8(wordSpeed);
    send('<' + Hex8(m_config.charSpeed) + Hex8(quint8(wordSpeed)), m_eventGapMs);
}

void SimulatedTrainer::turnSpeedKnob(int wpm)
{
    m_config.charSpeed = quint8(qBound(5, wpm, 75));
    sendSpeedReport();
}

void SimulatedTrainer::keyText(const QByteArray &text)
{
    for (char c : text)
        queue(KeyedItem{MorseCode::upper(c), m_config.charSpeed, Origin::Paddles});
}

void SimulatedTrainer::stop()
{
    m_output.clear();
    m_outputTimer.stop();
    m_keying.clear();
    m_keyingTimer.stop();
    m_input.clear();
    if (m_load != LoadState::Off)
        endLoad(u"abandoned load"_s);
}

void SimulatedTrainer::send(const QByteArray &bytes, int pauseBeforeMs)
{
    m_output.append({bytes, pauseBeforeMs});
    pumpOutput();
}

void SimulatedTrainer::pumpOutput()
{
    while (!m_outputTimer.isActive() && !m_output.isEmpty()) {
        auto &head = m_output.first();
        if (head.second > 0) {
            m_outputTimer.start(std::exchange(head.second, 0));
            return;
        }
        emit transmit(m_output.takeFirst().first);
    }
}

void SimulatedTrainer::queue(const KeyedItem &item)
{
    if (item.c != ' ' && MorseCode::units(item.c) == 0)
        return;
    m_keying.append(item);
    keyNext();
}

// Each character is reported as its keying begins, behind the shift mark
// of where it came from; the next one starts when it has been keyed.
void SimulatedTrainer::keyNext()
{
    while (!m_keyingTimer.isActive() && !m_paused && !m_keying.isEmpty()) {
        const KeyedItem item = m_keying.takeFirst();
        if (item.endOfLesson) {
            send(QByteArray(1, BS));
            continue;
        }
        const char mark = item.origin == Origin::Peer ? SO : item.origin == Origin::Paddles ? SI : 0;
        QByteArray bytes;
        if (mark != 0 && mark != m_lastMark) {
            m_lastMark = mark;
            bytes += mark;
        }
        bytes += item.c;
        send(bytes);
        m_keyingTimer.start(MorseCode::durationMs(item.c, qMax(1, item.speed)));
    }
}
