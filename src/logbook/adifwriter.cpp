#include "adifwriter.h"

#include "ansitext.h"
#include "bandtable.h"
#include "logtimestamp.h"

namespace {

// yyyymmdd from a "ssnnhhddmmyy" field.
QByteArray adifDate(const QByteArray &stamp)
{
    QByteArray month;
    const int year = centuryYear(stamp.mid(8, 2), stamp.mid(10, 2), &month);
    return QByteArray(year < 2000 ? "19" : "20") + stamp.mid(10, 2) + month + stamp.mid(6, 2);
}

// hhnnss from a "ssnnhhddmmyy" field.
QByteArray adifTime(const QByteArray &stamp)
{
    return stamp.mid(4, 2) + stamp.mid(2, 2) + stamp.mid(0, 2);
}

bool isZero(const QByteArray &number)
{
    bool ok = false;
    return number.toLongLong(&ok) == 0 && ok;
}

void appendPiece(QByteArray *out, const QByteArray &piece, const char *plainTag)
{
    switch (pieceKind(piece)) {
    case PieceKind::Empty:
        break;
    case PieceKind::Comment:
        if (piece.size() > 1)
            AdifWriter::appendField(out, "COMMENT", pieceText(piece));
        break;
    case PieceKind::QslVia:
        if (piece.size() > 1)
            AdifWriter::appendField(out, "QSL_VIA", pieceText(piece));
        break;
    case PieceKind::Plain:
        AdifWriter::appendField(out, plainTag, piece);
        break;
    }
}

void appendStationText(QByteArray *out, const char *tag, const QString &text)
{
    const QString trimmed = text.trimmed();
    if (!trimmed.isEmpty())
        AdifWriter::appendField(out, tag, AnsiText::fromUnicode(trimmed));
}

} // namespace

QByteArray AdifWriter::programVersion()
{
    return QByteArray::number(DW_VERSION_MAJOR) + '.' + QByteArray::number(DW_VERSION_MINOR) + '.'
        + QByteArray::number(DW_VERSION_REVISION);
}

QByteArray AdifWriter::headerLines(QByteArrayView version)
{
    QByteArray header = "LOGGER:";
    appendField(&header, "PROGRAMID", "THE DASHWRIGHT");
    appendField(&header, "PROGRAMVERSION", version);
    header += "<EOH>\r\n\r\n";
    return header;
}

void AdifWriter::appendField(QByteArray *out, QByteArrayView tag, QByteArrayView value)
{
    out->append('<').append(tag).append(':').append(QByteArray::number(value.size())).append('>').append(value);
}

QByteArray AdifWriter::recordLines(const LogRecord &record, const AdifStation &station)
{
    QByteArray out;
    out.reserve(320);
    const bool contest = record.isContest();

    appendField(&out, "QSO_DATE", adifDate(record.start));
    appendField(&out, "TIME_ON", adifTime(record.start));
    if (!contest)
        appendField(&out, "TIME_OFF", adifTime(record.endOrSerials));
    appendField(&out, "MODE", record.isSSB() ? "SSB" : "CW");
    appendField(&out, "BAND", BandTable::name(record.bandIndex()));
    out += "\r\n";

    const TextBlock text = record.text();
    appendField(&out, "CALL", text.call);
    if (contest) {
        // The keyer stores the contest exchange whole in the first piece.
        if (!text.first.isEmpty())
            appendField(&out, "COMMENT", text.first);
        if (!text.second.isEmpty())
            appendField(&out, "QTH", text.second);
    } else {
        appendPiece(&out, text.first, "NAME");
        appendPiece(&out, text.second, "QTH");
    }
    appendField(&out, "RST_RCVD", record.reportReceived());
    appendField(&out, "RST_SENT", record.reportSent());
    out += "\r\n";

    if (contest) {
        if (!isZero(record.receivedSerial()))
            appendField(&out, "SRX", record.receivedSerial());
        if (!isZero(record.sentSerial()))
            appendField(&out, "STX", record.sentSerial());
    }
    appendStationText(&out, "STATION_CALLSIGN", record.isUser2() ? station.call2 : station.call1);
    appendStationText(&out, "OPERATOR", record.isUser2() ? station.operator2 : station.operator1);
    if (record.isDuplicate())
        appendField(&out, "NOTES", "DUPLICATE");
    out += "<EOR>\r\n\r\n";
    return out;
}
