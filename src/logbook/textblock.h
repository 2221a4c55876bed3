#pragma once

#include <QByteArray>

// The 27 text bytes of a log record: the call sign up to the first NUL,
// then up to two pieces separated by a NUL; the NUL after the second piece
// ends the useful text. Bytes are Windows-1252 characters.
struct TextBlock
{
    static constexpr int Size = 27;

    QByteArray call;
    QByteArray first;  // "_" already turned into " "
    QByteArray second; // likewise

    static TextBlock fromBytes(QByteArrayView bytes);

    // The importer's layout: call, blank, first piece, blank, second piece,
    // padded with blanks or cut to 27, and every blank then becomes NUL.
    // The values themselves carry no blanks.
    static QByteArray composeBytes(QByteArrayView call, QByteArrayView first, QByteArrayView second);

    bool operator==(const TextBlock &) const = default;
};

// What a piece means: ":" starts a comment, "/" a QSL route, anything else
// is the name (first piece) or the QTH (second piece).
enum class PieceKind { Empty, Comment, QslVia, Plain };

PieceKind pieceKind(QByteArrayView piece);
// The piece without its ":" or "/" prefix.
QByteArrayView pieceText(QByteArrayView piece);
