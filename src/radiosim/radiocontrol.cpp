#include "radiocontrol.h"

#include "simulatedradio.h"

using namespace Qt::StringLiterals;

RadioControl::RadioControl(SimulatedRadio *radio, QObject *parent) : QObject(parent), m_radio(radio) {}

void RadioControl::addText(const QByteArray &text)
{
    m_partialLine += text;
    qsizetype end;
    while ((end = m_partialLine.indexOf('\n')) >= 0) {
        const QByteArray line = m_partialLine.first(end);
        m_partialLine.remove(0, end + 1);
        run(QString::fromLocal8Bit(line));
    }
}

bool RadioControl::run(const QString &rawLine)
{
    const QString line = rawLine.trimmed();
    if (line.isEmpty() || line.startsWith(u'#'))
        return true;
    const qsizetype space = line.indexOf(u' ');
    const QString command = space < 0 ? line : line.first(space);
    const QString rest = space < 0 ? QString() : line.sliced(space + 1).trimmed();
    bool ok = true;
    const int number = rest.toInt(&ok);

    if (command == u"band") {
        ok = ok && m_radio->setBand(number);
    } else if (command == u"mode") {
        ok = ok && m_radio->setMode(number);
    } else if (command == u"vox") {
        ok = rest.isEmpty() || rest == u"0" || rest == u"1";
        if (ok)
            m_radio->setVox(rest.isEmpty() ? !m_radio->vox() : rest == u"1");
    } else if (command == u"off" || command == u"on") {
        ok = rest.isEmpty();
        if (ok)
            m_radio->setPower(command == u"on");
    } else if (command == u"garbage") {
        ok = rest == u"on" || rest == u"off";
        if (ok)
            m_radio->setGarbage(rest == u"on");
    } else if (command == u"busy") {
        ok = ok && number >= 0;
        if (ok)
            m_radio->setBusy(number);
    } else if (command == u"answer") {
        const qsizetype gap = rest.indexOf(u' ');
        ok = gap > 0;
        if (ok)
            m_radio->setAnswer(rest.first(gap).toLatin1(), rest.sliced(gap + 1).trimmed().toLatin1());
    } else if (command == u"raw") {
        ok = !rest.isEmpty();
        if (ok)
            m_radio->sendRaw(rest.toLatin1());
    } else if (command == u"unplug") {
        ok = rest.isEmpty();
        if (ok)
            emit unplugRequested();
    } else {
        ok = false;
    }
    if (!ok)
        emit error(u"cannot do \"%1\""_s.arg(line));
    return ok;
}
