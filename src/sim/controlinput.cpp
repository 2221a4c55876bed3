#include "controlinput.h"

#include "simulatedkeyer.h"

using namespace Qt::StringLiterals;

ControlInput::ControlInput(SimulatedKeyer *keyer, QObject *parent)
    : QObject(parent)
    , m_keyer(keyer)
{
    m_sleep.setSingleShot(true);
    connect(&m_sleep, &QTimer::timeout, this, &ControlInput::runPending);
    // A keyer that vanishes in the middle of a log transfer goes as "vanish" does.
    connect(&keyer->logStream(), &LogStreamer::vanish, this, [this] {
        m_vanished = true;
        m_lines.clear();
        emit vanishRequested();
    });
}

void ControlInput::addText(const QByteArray &text)
{
    m_partialLine += text;
    qsizetype end;
    while ((end = m_partialLine.indexOf('\n')) >= 0) {
        const QByteArray line = m_partialLine.first(end);
        m_partialLine.remove(0, end + 1);
        m_lines.append(QString::fromLocal8Bit(line));
    }
    runPending();
}

void ControlInput::addLine(const QString &line)
{
    m_lines.append(line);
    runPending();
}

void ControlInput::runPending()
{
    while (!m_sleep.isActive() && !m_lines.isEmpty() && !m_vanished) {
        const int delay = run(m_lines.takeFirst());
        if (delay > 0)
            m_sleep.start(delay);
    }
}

int ControlInput::run(const QString &rawLine)
{
    const QString line = rawLine.trimmed();
    if (line.isEmpty() || line.startsWith(u'#'))
        return 0;
    const qsizetype space = line.indexOf(u' ');
    const QString command = space < 0 ? line : line.first(space);
    const QString rest = space < 0 ? QString() : line.sliced(space + 1).trimmed();
    const QStringList words = rest.split(u' ', Qt::SkipEmptyParts);

    bool ok = true;
    auto number = [&](int minimum, int maximum) {
        const int value = words.value(0).toInt(&ok);
        ok = ok && words.size() == 1 && value >= minimum && value <= maximum;
        return value;
    };

    if (command == u"help") {
        emit help(u"Control lines (one per line on standard input):\n"
                  "  key TEXT            key TEXT as if sent with the paddle\n"
                  "  knob WPM            turn the speed knob\n"
                  "  call CALL [INFO]    report CALL as the other station's call\n"
                  "  qso CALL [NAME [QTH]]  put an earlier QSO with CALL in the log\n"
                  "  log                 print the log\n"
                  "  count N             set the QSO count\n"
                  "  message N TEXT      store keyer message N\n"
                  "  letter L            answer as device L (K keyer, T trainer)\n"
                  "  baud RATE           answer only at RATE (0: any)\n"
                  "  silent on|off       stop or resume answering\n"
                  "  sleep MS            wait before the next line\n"
                  "  pace on|off         log transfers at the line's pace or as fast as possible\n"
                  "  silent-after N, vanish-after N, corrupt-echo N   fail a log transfer after N records\n"
                  "  profile normal|silent|refuse|show   answer the next profile loads so, or print the profile\n"
                  "  garbage N, raw HEX..., unframed, split-speed WPM  send hostile or split answers\n"
                  "  vanish              close the device, as an unplugged keyer\n"
                  "  help                this list"_s);
    } else if (command == u"key") {
        ok = !rest.isEmpty();
        if (ok)
            m_keyer->keyText(rest.toLatin1());
    } else if (command == u"knob") {
        const int wpm = number(1, 255);
        if (ok)
            m_keyer->turnSpeedKnob(wpm);
    } else if (command == u"call") {
        ok = !words.isEmpty();
        if (ok)
            m_keyer->reportCall(words.first().toLatin1(), rest.sliced(words.first().size()).trimmed().toLatin1());
    } else if (command == u"silent") {
        ok = rest == u"on" || rest == u"off";
        if (ok)
            m_keyer->setSilent(rest == u"on");
    } else if (command == u"garbage") {
        const int count = number(1, 1 << 20);
        if (ok)
            m_keyer->sendGarbage(count);
    } else if (command == u"unframed") {
        ok = rest.isEmpty();
        if (ok)
            m_keyer->sendUnframedConfig();
    } else if (command == u"raw") {
        QByteArray bytes;
        for (const QString &word : words) {
            const uint value = word.toUInt(&ok, 16);
            if (!ok || value > 255 || word.size() > 2) {
                ok = false;
                break;
            }
            bytes.append(char(value));
        }
        ok = ok && !bytes.isEmpty();
        if (ok)
            m_keyer->sendRaw(bytes);
    } else if (command == u"split-speed") {
        const int wpm = number(1, 255);
        if (ok)
            m_keyer->sendSplitSpeed(wpm);
    } else if (command == u"sleep") {
        const int delay = number(0, 3600 * 1000);
        if (ok)
            return delay;
    } else if (command == u"letter") {
        ok = rest.size() == 1 && rest.at(0).unicode() < 0x80;
        if (ok)
            m_keyer->setDeviceLetter(char(rest.at(0).unicode()));
    } else if (command == u"count") {
        const int count = number(0, 32767);
        if (ok)
            m_keyer->setQsoCount(qint16(count));
    } else if (command == u"baud") {
        const int baud = number(0, 4000000);
        if (ok)
            m_keyer->setRequiredLineSpeed(baud);
    } else if (command == u"qso") {
        // qso CALL [NAME [QTH ...]]: a QSO worked earlier, dated now.
        ok = !words.isEmpty();
        if (ok)
            m_keyer->addContact(words.first().toUpper().toLatin1(), words.value(1).toLatin1(),
                                words.mid(2).join(u' ').toLatin1());
    } else if (command == u"log") {
        ok = rest.isEmpty();
        if (ok)
            m_keyer->journalLog();
    } else if (command == u"message") {
        const int key = words.value(0).toInt(&ok);
        ok = ok && words.value(0).size() == 1 && words.size() >= 2;
        if (ok)
            m_keyer->setMessage(key, rest.sliced(1).trimmed().toLatin1());
    } else if (command == u"profile") {
        static const QStringList answers{u"normal"_s, u"silent"_s, u"refuse"_s};
        ok = rest == u"show" || answers.contains(rest);
        if (rest == u"show")
            m_keyer->profile().journalRecords();
        else if (ok)
            m_keyer->profile().setAnswer(SimulatedProfile::Answer(answers.indexOf(rest)));
    } else if (command == u"pace") {
        ok = rest == u"on" || rest == u"off";
        if (ok)
            m_keyer->logStream().setPaced(rest == u"on");
    } else if (command == u"silent-after" || command == u"vanish-after" || command == u"corrupt-echo") {
        const int records = number(command == u"corrupt-echo" ? 1 : 0, LogStreamer::Capacity);
        const auto fault = command == u"silent-after"   ? LogStreamer::Fault::Silence
                           : command == u"vanish-after" ? LogStreamer::Fault::Vanish
                                                        : LogStreamer::Fault::CorruptEcho;
        if (ok)
            m_keyer->logStream().setFault(fault, records);
    } else if (command == u"vanish") {
        m_vanished = true;
        m_lines.clear();
        emit vanishRequested();
        return 0;
    } else {
        emit error(u"unknown control command: "_s + line);
        return 0;
    }
    if (!ok)
        emit error(u"bad arguments: "_s + line);
    return 0;
}
