#pragma once

#include <QByteArray>
#include <QString>

// Text from the operator's files (word lists, a text file used as a
// message) as the trainer keyer keys it. Such files come from editors that
// write UTF-8 or from older Windows programs that wrote Windows-1252; the
// keyer takes one byte per character, and only the codes of its character
// grid.
namespace KeyerText {

// UTF-8 when every byte is valid UTF-8 (a leading byte order mark
// dropped), else Windows-1252: the rule the look-up files are read by.
QString decode(QByteArrayView bytes);

// Whether the keyer has a code for this byte (the grid's characters).
bool keys(uchar byte);

// The keyer's bytes for a text: lower case raised; Ø as the slashed zero
// it is in the monitor; Å, Æ, ø and ß as the keyer's À, Ä, Ö (the same
// codes) and SS; a letter with an accent the
// keyer lacks as its base letter (ê gives E); prosigns written "<ar>",
// "<bt>" and the like as the keyer's one character; every run of blanks,
// tabs and line ends as one blank; anything else dropped.
QByteArray fromText(const QString &text);

} // namespace KeyerText
