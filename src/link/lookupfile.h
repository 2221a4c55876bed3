#pragma once

#include <QByteArray>
#include <QString>

// countries.txt, specialnotes.txt, remote.txt and the trainer's word lists
// come from the operator's editor or from older Windows programs, which
// wrote Windows-1252. A file is
// read as UTF-8 when all of its bytes are valid UTF-8, else as Windows-1252.
namespace LookupFile {

enum class Encoding { Utf8, Windows1252 };

// A leading UTF-8 byte order mark is dropped.
QString decode(QByteArrayView bytes, Encoding *encoding = nullptr);
// Text of the file; empty for a missing file, which counts as UTF-8.
QString read(const QString &path, Encoding *encoding = nullptr);
// Windows-1252 when asked for and the text fits it, else UTF-8, so that no
// character is lost.
QByteArray encode(const QString &text, Encoding encoding);

} // namespace LookupFile
