#include "textblock.h"

namespace {

QByteArray readable(QByteArrayView piece)
{
    QByteArray text = piece.toByteArray();
    text.replace('_', ' ');
    return text;
}

} // namespace

TextBlock TextBlock::fromBytes(QByteArrayView bytes)
{
    TextBlock block;
    const QByteArrayView text = bytes.first(qMin<qsizetype>(bytes.size(), Size));
    qsizetype end = text.indexOf('\0');
    if (end < 0) {
        block.call = text.toByteArray();
        return block;
    }
    block.call = text.first(end).toByteArray();
    qsizetype start = end + 1;
    end = text.indexOf('\0', start);
    if (end < 0) {
        block.first = readable(text.sliced(start));
        return block;
    }
    block.first = readable(text.sliced(start, end - start));
    start = end + 1;
    end = text.indexOf('\0', start);
    block.second = readable(end < 0 ? text.sliced(start) : text.sliced(start, end - start));
    return block;
}

QByteArray TextBlock::composeBytes(QByteArrayView call, QByteArrayView first, QByteArrayView second)
{
    QByteArray bytes;
    bytes.reserve(Size + 2);
    bytes.append(call).append(' ').append(first).append(' ').append(second);
    bytes.truncate(Size);
    bytes.append(QByteArray(Size - bytes.size(), ' '));
    bytes.replace(' ', '\0');
    return bytes;
}

PieceKind pieceKind(QByteArrayView piece)
{
    if (piece.isEmpty())
        return PieceKind::Empty;
    if (piece.front() == ':')
        return PieceKind::Comment;
    if (piece.front() == '/')
        return PieceKind::QslVia;
    return PieceKind::Plain;
}

QByteArrayView pieceText(QByteArrayView piece)
{
    const PieceKind kind = pieceKind(piece);
    if (kind == PieceKind::Comment || kind == PieceKind::QslVia)
        return piece.sliced(1);
    return piece;
}
