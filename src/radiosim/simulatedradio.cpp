#include "simulatedradio.h"

#include <algorithm>
#include <iterator>

using namespace Qt::StringLiterals;

namespace {

bool isNumber(const QByteArray &text)
{
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), [](char c) { return c >= '0' && c <= '9'; });
}

// The radio's bands by number (BN): their edges in Hz, and where a change
// of band puts the VFO.
struct Band
{
    int number;
    qint64 low, high, start;
};

constexpr Band Bands[] = {
    {0, 1800000, 2000000, 1810000},       {1, 3500000, 4000000, 3510000},
    {2, 5250000, 5450000, 5351500},       {3, 7000000, 7300000, 7010000},
    {4, 10100000, 10150000, 10110000},    {5, 14000000, 14350000, 14010000},
    {6, 18068000, 18168000, 18070000},    {7, 21000000, 21450000, 21010000},
    {8, 24890000, 24990000, 24890000},    {9, 28000000, 29700000, 28010000},
    {10, 50000000, 54000000, 50090000},   {16, 144000000, 148000000, 144050000},
};

const Band *bandOf(qint64 hz)
{
    for (const Band &band : Bands) {
        if (hz >= band.low && hz <= band.high)
            return &band;
    }
    return nullptr;
}

QByteArray digits(qint64 value, int width)
{
    return QByteArray::number(value).rightJustified(width, '0');
}

// The commands the radio takes besides PTT and the revisions.
bool known(const QByteArray &name)
{
    static const QByteArrayList names = {"AG", "AI", "BN", "BW", "DT", "FA", "FB", "FR", "FT", "FW",
                                         "GT", "ID", "IF", "IS", "K2", "K3", "KS", "LN", "MD", "MG",
                                         "NB", "OM", "PA", "PC", "PS", "RA", "RG", "RT", "SB", "SQ",
                                         "SW", "TQ", "VX", "XT"};
    return names.contains(name);
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
    // Two letters, "$" after them for the sub receiver, then the value.
    const QByteArray name = command.left(2);
    const bool sub = command.mid(2, 1) == "$";
    const QByteArray value = command.mid(sub ? 3 : 2);
    if (value.isEmpty() && !sub && m_answers.contains(name)) {
        answer(m_answers.value(name));
        return;
    }
    bool done = false;
    if (name == "TX" || name == "RX") {
        // PTT, no reply.
        done = value.isEmpty();
        if (done)
            m_transmitting = name == "TX";
    } else if (name == "RV") {
        // RVM, RVD, ...: the firmware revision of one of its processors.
        done = value.size() == 1;
        if (done)
            answer("RV"_ba + value + "05.12;"_ba);
    } else if (known(name)) {
        done = value.isEmpty() ? get(name, sub) : set(name, sub, value);
    }
    if (!done)
        answer("?;"_ba);
}

bool SimulatedRadio::get(const QByteArray &name, bool sub)
{
    if (name == "AI") {
        answer("AI"_ba + QByteArray::number(m_ai) + ';');
    } else if (name == "BN") {
        answer("BN"_ba + digits(m_band, 2) + ';');
    } else if (name == "BW") {
        answer("BW"_ba + (sub ? "$"_ba : QByteArray()) + digits(m_bandwidth, 4) + ';');
    } else if (name == "DT") {
        answer("DT"_ba + QByteArray::number(m_dataMode) + ';');
    } else if (name == "FA") {
        answer("FA"_ba + digits(m_frequencyA, 11) + ';');
    } else if (name == "FB") {
        answer("FB"_ba + digits(m_frequencyB, 11) + ';');
    } else if (name == "FR") {
        answer("FR0;"_ba);
    } else if (name == "FT") {
        answer(m_split ? "FT1;"_ba : "FT0;"_ba);
    } else if (name == "FW") {
        // In K22 mode the filter bandwidth as four digits and the filter.
        answer("FW"_ba + digits(m_bandwidth, 4) + (m_k2Mode >= 2 ? "1"_ba : QByteArray()) + ';');
    } else if (name == "GT") {
        answer(m_k2Mode >= 2 ? "GT0020;"_ba : "GT002;"_ba);
    } else if (name == "ID") {
        answer("ID017;"_ba);
    } else if (name == "IF") {
        answer(infoReport());
    } else if (name == "IS") {
        answer("IS 0000;"_ba);
    } else if (name == "K2") {
        answer("K2"_ba + QByteArray::number(m_k2Mode) + ';');
    } else if (name == "K3") {
        answer("K3"_ba + QByteArray::number(m_k3Mode) + ';');
    } else if (name == "KS") {
        answer("KS"_ba + digits(m_keyerSpeed, 3) + ';');
    } else if (name == "MD") {
        answer("MD"_ba + (sub ? "$"_ba : QByteArray()) + QByteArray::number(sub ? m_subMode : m_mode) + ';');
    } else if (name == "OM") {
        // The option modules; a KX3 adds its model number at the end.
        answer(m_model == Model::K3 ? "OM AP-S----L---;"_ba : "OM AP---F----01;"_ba);
    } else if (name == "PS") {
        answer("PS1;"_ba);
    } else if (name == "TQ") {
        answer(m_transmitting ? "TQ1;"_ba : "TQ0;"_ba);
    } else if (name == "VX") {
        answer(m_vox ? "VX1;"_ba : "VX0;"_ba);
    } else if (name == "AG" || name == "RG" || name == "MG" || name == "PC" || name == "SQ") {
        answer(name + "050;"_ba);
    } else if (name == "LN" || name == "NB" || name == "PA" || name == "RT" || name == "SB" || name == "XT") {
        answer(name + "0;"_ba);
    } else if (name == "RA") {
        answer("RA00;"_ba);
    } else {
        // SW has no GET.
        return false;
    }
    return true;
}

bool SimulatedRadio::set(const QByteArray &name, bool sub, const QByteArray &value)
{
    const bool number = isNumber(value);
    const int n = number ? value.toInt() : -1;
    if (name == "AI")
        return number && n >= 0 && n <= 3 && (m_ai = n, true);
    if (name == "BN") {
        if (!number)
            return false;
        const auto *band = std::find_if(std::begin(Bands), std::end(Bands), [n](const Band &b) { return b.number == n; });
        return band != std::end(Bands) && setBand(n);
    }
    if (name == "BW" || name == "FW")
        return number && n >= 5 && n <= 400 && (m_bandwidth = n, true);
    if (name == "DT")
        return number && n >= 0 && n <= 3 && (m_dataMode = n, changed(), true);
    if (name == "FA" || name == "FB")
        return number && value.size() == 11 && setFrequency(value.toLongLong(), name == "FB");
    if (name == "FR")
        return number && (n == 0 || n == 1);
    if (name == "FT")
        return number && (n == 0 || n == 1) && (m_split = n == 1, true);
    if (name == "K2")
        return number && n >= 0 && n <= 3 && (m_k2Mode = n, true);
    if (name == "K3")
        return number && (n == 0 || n == 1) && (m_k3Mode = n, true);
    if (name == "KS")
        return number && n >= 8 && n <= 50 && (m_keyerSpeed = n, true);
    if (name == "MD") {
        if (!number || n < 1 || n > 9 || n == 8)
            return false;
        if (sub)
            m_subMode = n;
        else
            setMode(n);
        return true;
    }
    if (name == "SW") {
        // Switch emulation: SWT (tap) and SWH (hold) with the switch number.
        // The VOX button's hold: switch 09 on a K3, 29 on a KX3.
        const QByteArray kind = value.left(1);
        const QByteArray which = value.mid(1);
        if ((kind != "T" && kind != "H") || !isNumber(which))
            return false;
        if (kind == "H" && which.toInt() == (m_model == Model::K3 ? 9 : 29))
            m_vox = !m_vox;
        return true;
    }
    if (name == "AG" || name == "RG" || name == "MG" || name == "PC" || name == "SQ")
        return number && value.size() == 3;
    if (name == "LN" || name == "NB" || name == "PA" || name == "RT" || name == "SB" || name == "XT")
        return number && value.size() == 1;
    if (name == "RA")
        return number && value.size() == 2;
    return false;
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
    const auto *found =
        std::find_if(std::begin(Bands), std::end(Bands), [band](const Band &b) { return b.number == band; });
    if (band >= 17 && band <= 25) {
        // The other transverter bands: no frequency of their own here.
        m_band = band;
        changed();
        return true;
    }
    if (found == std::end(Bands))
        return false;
    m_band = band;
    m_frequencyA = found->start;
    changed();
    return true;
}

bool SimulatedRadio::setFrequency(qint64 hz, bool vfoB)
{
    const Band *band = bandOf(hz);
    if (!band)
        return false;
    if (vfoB) {
        m_frequencyB = hz;
        return true;
    }
    m_frequencyA = hz;
    m_band = band->number;
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

QByteArray SimulatedRadio::infoReport() const
{
    // IF[f]*****+yyyyrx*00tmvspbd1*; with * a blank: frequency, RIT/XIT
    // offset, RIT and XIT off, memory 00, transmit, mode, receive VFO, no
    // scan, split, band change, data sub-mode.
    QByteArray report = "IF"_ba + digits(m_frequencyA, 11);
    report += "     +0000"_ba;
    report += "00 00"_ba;
    report += m_transmitting ? '1' : '0';
    report += QByteArray::number(m_mode);
    report += '0';
    report += '0';
    report += m_split ? '1' : '0';
    report += '0';
    report += QByteArray::number(m_dataMode);
    report += "1 ;"_ba;
    return report;
}
