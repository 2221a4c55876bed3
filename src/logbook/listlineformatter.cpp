#include "listlineformatter.h"

#include "bandtable.h"
#include "logtimestamp.h"

namespace {

QByteArray padded(QByteArray text, int width)
{
    return text.leftJustified(width, ' ', true);
}

QByteArray serialColumn(const QByteArray &serial)
{
    bool ok = false;
    if (serial.toLongLong(&ok) == 0 && ok)
        return QByteArray(7, ' ');
    return serial + ' ';
}

} // namespace

QByteArray ListLineFormatter::headerLine(bool contest)
{
    if (contest)
        return "Date        Band Mode Start    Call         Info                   S-RST R-RST S-Nr   R-Nr   Dup";
    return "Date        Band Mode Start End   Call         Info                   S-RST R-RST Dup";
}

QByteArray ListLineFormatter::renderPiece(QByteArrayView piece)
{
    switch (pieceKind(piece)) {
    case PieceKind::Empty:
        return {};
    case PieceKind::Comment:
        return pieceText(piece).toByteArray();
    case PieceKind::QslVia:
        return piece.size() > 1 ? "Via: " + pieceText(piece).toByteArray() : QByteArray();
    case PieceKind::Plain:
        break;
    }
    return piece.toByteArray();
}

QByteArray ListLineFormatter::formatLine(const LogRecord &record, const LogSelection &selection)
{
    if (!selection.selects(record))
        return {};
    const bool contest = record.isContest();
    const QByteArray &start = record.start;
    const QByteArray &end = record.endOrSerials;

    QByteArray line;
    line.reserve(96);
    QByteArray month;
    const int year = centuryYear(start.mid(8, 2), start.mid(10, 2), &month);
    line += QByteArray::number(year / 100) + start.mid(10, 2) + '-' + month + '-' + start.mid(6, 2) + "  ";
    line += padded(BandTable::name(record.bandIndex()), 5);
    line += record.isSSB() ? "SSB  " : "CW   ";
    if (contest) {
        line += start.mid(4, 2) + ':' + start.mid(2, 2) + ':' + start.mid(0, 2) + ' ';
    } else {
        line += start.mid(4, 2) + ':' + start.mid(2, 2) + ' ';
        line += end.mid(4, 2) + ':' + end.mid(2, 2) + ' ';
    }
    const TextBlock text = record.text();
    line += padded(text.call, 13);
    line += renderPiece(text.first) + ' ' + renderPiece(text.second);
    line = padded(line, contest ? 67 : 70);

    const int rstWidth = record.isSSB() ? 2 : 3;
    line += padded(record.reportSent(), rstWidth) + QByteArray(6 - rstWidth, ' ');
    line += padded(record.reportReceived(), rstWidth) + QByteArray(6 - rstWidth, ' ');
    if (contest) {
        line += serialColumn(record.sentSerial());
        line += serialColumn(record.receivedSerial());
    }
    line += record.isDuplicate() ? " X" : "  ";
    return line;
}
