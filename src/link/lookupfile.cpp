#include "lookupfile.h"

#include "ansitext.h"

#include <QFile>
#include <QStringDecoder>

namespace LookupFile {

QString decode(QByteArrayView bytes, Encoding *encoding)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    // Stateless: a sequence cut off at the end of the file is an error too.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    const Encoding found = utf8.hasError() ? Encoding::Windows1252 : Encoding::Utf8;
    if (found == Encoding::Windows1252)
        text = AnsiText::toUnicode(bytes);
    if (encoding)
        *encoding = found;
    return text;
}

QString read(const QString &path, Encoding *encoding)
{
    if (encoding)
        *encoding = Encoding::Utf8;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return decode(file.readAll(), encoding);
}

QByteArray encode(const QString &text, Encoding encoding)
{
    if (encoding == Encoding::Windows1252) {
        bool lossy = false;
        const QByteArray bytes = AnsiText::fromUnicode(text, &lossy);
        if (!lossy)
            return bytes;
    }
    return text.toUtf8();
}

} // namespace LookupFile
