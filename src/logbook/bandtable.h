#pragma once

#include <QByteArray>

// The keyer's band numbers (flag bits 0-3 of a log record).
namespace BandTable {

constexpr int Count = 13;

// "2M" .. "160M" for 0..12; empty for the unused numbers 13..15.
QByteArray name(int index);
// Index of an exact band name (upper case), or -1.
int indexOf(QByteArrayView name);
// Band of a frequency given as its whole number of MHz, or -1.
int indexOfMegahertz(qint64 megahertz);

} // namespace BandTable
