#pragma once

#include <QByteArray>
#include <QString>

// An Intel HEX file checked whole before it goes near the keyer: the loader
// erases the chip first, so a file it would write nothing from, or only a
// part of, leaves the keyer without firmware.
class IntelHexImage
{
public:
    // The keyer's micro-controller, an ATmega1284P.
    static constexpr qint64 KeyerFlashBytes = 0x20000;

    // Empty when every line is a record with a correct checksum (types 00 to
    // 05), an end-of-file record closes the file, it holds data, and all of
    // it lies inside the first flashBytes of flash. Otherwise a short reason
    // for the operator, naming the line where one is to blame.
    static QString problem(const QByteArray &file, qint64 flashBytes);
};
