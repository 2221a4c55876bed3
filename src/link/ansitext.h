#pragma once

#include <QByteArray>
#include <QString>

// The keyer keeps text as single bytes of the Windows-1252 code page (the
// code page of the PCs it was made for), and the ADIF and list files this
// system writes use the same bytes, so a field length counts characters
// and bytes alike.
namespace AnsiText {

// Windows-1252 byte to character; the five bytes the code page leaves
// undefined map to the C1 control of the same number.
char16_t toUnicode(uchar byte);
QString toUnicode(QByteArrayView bytes);

// Character to byte; false when the code page has no such character.
bool fromUnicode(char32_t character, uchar *byte);
// Unrepresentable characters become "?"; *lossy tells whether one did.
QByteArray fromUnicode(const QString &text, bool *lossy = nullptr);

// Upper case within the code page (a-z, the accented letters, s/z/oe caron
// forms, y diaeresis); other bytes are kept.
uchar toUpper(uchar byte);
QByteArray toUpper(QByteArrayView bytes);

// Length of a well-formed UTF-8 sequence (2 to 4 bytes, no overlong forms,
// no surrogates) starting at data[0], else 0. *codePoint receives it.
int utf8SequenceLength(const uchar *data, qsizetype available, char32_t *codePoint);

// Bytes as ADIF writers of either kind leave them: every well-formed UTF-8
// multi-byte sequence is one character, every other byte a Windows-1252
// character. Returns Windows-1252 bytes; characters outside the code page
// become "?" and set *lossy.
QByteArray fromMixed(QByteArrayView bytes, bool *lossy = nullptr);

} // namespace AnsiText
