#include "simulatedradio.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

bool isNumber(const QByteArray &text)
{
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

SimulatedRadio::SimulatedRadio(Model model, QObject *parent) : QObject(parent), m_model(model) {}

void SimulatedRadio::feed(const QByteArray &bytesFromHost)
{
    if (!m_on || (m_requiredLineSpeed != 0 && m_lineSpeed != m_requiredLineSpeed))
        return;
    m_input += bytesFromHost;
    qsizetype end;
    while ((end = m_input.indexOf(';')) >= 0) {
        const QByteArray command = m_input.first(end).trimmed().toUpper();
        m_input.remove(0, end + 1);
        emit journal(QString::fromLatin1(command) + u';');
        if (m_busy > 0) {
            --m_busy;
            answer("?;"_ba);
            continue;
        }
        execute(command);
    }
}

void SimulatedRadio::execute(const QByteArray &command)
{
    const qsizetype nameLength = command.startsWith("SWH") ? 3 : 2;
    const QByteArray name = command.left(nameLength);
    const QByteArray value = command.mid(nameLength);
    if (value.isEmpty() && m_answers.contains(name)) {
        answer(m_answers.value(name));
        return;
    }
    if (name == "K3") {
        // A KX3 takes no part in the K3's identification.
        if (m_model == Model::KX3)
            return;
        if (value.isEmpty())
            answer("K3"_ba + QByteArray::number(m_k3Mode) + ';');
        else if (value == "0" || value == "1")
            m_k3Mode = value.toInt();
        else
            answer("?;"_ba);
    } else if (name == "AI") {
        if (value.isEmpty())
            answer("AI"_ba + QByteArray::number(m_ai) + ';');
        else if (value.size() == 1 && value >= "0" && value <= "2")
            m_ai = value.toInt();
        else
            answer("?;"_ba);
    } else if (name == "BN") {
        if (value.isEmpty())
            answer("BN"_ba + QByteArray::number(m_band).rightJustified(2, '0') + ';');
        else if (!(isNumber(value) && setBand(value.toInt())))
            answer("?;"_ba);
    } else if (name == "MD") {
        if (value.isEmpty())
            answer("MD"_ba + QByteArray::number(m_mode) + ';');
        else if (!(isNumber(value) && setMode(value.toInt())))
            answer("?;"_ba);
    } else if (name == "VX" && value.isEmpty()) {
        answer(m_vox ? "VX1;"_ba : "VX0;"_ba);
    } else if (name == "SWH" && isNumber(value)) {
        // The VOX button's hold function: switch 09 on a K3, 29 on a KX3.
        if (value.toInt() == (m_model == Model::K3 ? 9 : 29))
            m_vox = !m_vox;
    } else if (name == "IF" && value.isEmpty()) {
        answer(infoReport());
    } else if (name == "FA" && value.isEmpty()) {
        answer("FA"_ba + QByteArray::number(frequency()).rightJustified(11, '0') + ';');
    } else if (name == "ID" && value.isEmpty()) {
        answer("ID017;"_ba);
    } else {
        answer("?;"_ba);
    }
}

void SimulatedRadio::answer(const QByteArray &text)
{
    if (!m_garbage) {
        emit transmit(text);
        return;
    }
    QByteArray noise = text;
    for (char &c : noise)
        c = char(quint8(c) | 0x80);
    emit transmit(noise);
}

bool SimulatedRadio::setBand(int band)
{
    if (band < 0 || band > 25)
        return false;
    m_band = band;
    changed();
    return true;
}

bool SimulatedRadio::setMode(int mode)
{
    if (mode < 1 || mode > 9 || mode == 8)
        return false;
    m_mode = mode;
    changed();
    return true;
}

void SimulatedRadio::setVox(bool on)
{
    m_vox = on;
}

void SimulatedRadio::setPower(bool on)
{
    m_on = on;
    m_input.clear();
}

void SimulatedRadio::setAnswer(const QByteArray &command, const QByteArray &text)
{
    m_answers.insert(command.toUpper(), text);
}

void SimulatedRadio::changed()
{
    if (m_on && m_ai >= 1)
        answer(infoReport());
}

qint64 SimulatedRadio::frequency() const
{
    static const qint64 bands[] = {1810000,  3510000,  5351500,  7010000,  10110000, 14010000,
                                   18070000, 21010000, 24890000, 28010000, 50090000};
    return m_band <= 10 ? bands[m_band] : 144050000;
}

QByteArray SimulatedRadio::infoReport() const
{
    // IF[f]*****+yyyyrx*00tmvspbd1*; with * a blank.
    QByteArray report = "IF"_ba + QByteArray::number(frequency()).rightJustified(11, '0');
    report += "     +000000 000"_ba;
    report += QByteArray::number(m_mode);
    report += "000001 ;"_ba;
    return report;
}
