#include "keyertext.h"

#include "ansitext.h"
#include "charactergrid.h"
#include "lookupfile.h"

#include <bitset>

namespace KeyerText {

namespace {

const std::bitset<256> &keyedBytes()
{
    static const auto set = [] {
        std::bitset<256> bytes;
        for (int i = 0; i < CharacterGrid::CellCount; ++i)
            bytes.set(uchar(CharacterGrid::cell(i).writtenAs));
        return bytes;
    }();
    return set;
}

struct Prosign
{
    const char16_t *written;
    char code;
};

constexpr Prosign Prosigns[] = {
    {u"<AR>", '+'}, {u"<SK>", '#'}, {u"<BK>", '>'}, {u"<AS>", '&'},
    {u"<KA>", '%'}, {u"<VE>", '^'}, {u"<KN>", '('}, {u"<BT>", '='},
};
constexpr qsizetype ProsignLength = 4;

// The keyer's byte for one character, 0 when it has none.
uchar keyerByte(QChar c)
{
    switch (c.unicode()) {
    case 0x00D8: return '0';  // Ø: the slashed zero, as the monitor and the grid show it
    case 0x00F8: return 0xD6; // ø: the Nordic letter, the code of Ö
    default: break;
    }
    c = c.toUpper();
    switch (c.unicode()) {
    case 0x00C5: return 0xC0; // Å: the code of À
    case 0x00C6: return 0xC4; // Æ: the code of Ä
    default: break;
    }
    uchar byte;
    if (AnsiText::fromUnicode(c.unicode(), &byte) && keys(byte))
        return byte;
    const QString base = c.decomposition();
    if (!base.isEmpty() && base.at(0) != c) {
        const QChar letter = base.at(0).toUpper();
        if (letter.unicode() < 0x80 && keys(uchar(letter.unicode())))
            return uchar(letter.unicode());
    }
    return 0;
}

} // namespace

QString decode(QByteArrayView bytes)
{
    // The rule of the look-up files: UTF-8 when valid, else Windows-1252.
    return LookupFile::decode(bytes);
}

bool keys(uchar byte)
{
    return keyedBytes().test(byte);
}

QByteArray fromText(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    bool blank = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            blank = true;
            continue;
        }
        QByteArray out;
        if (c == u'<') {
            const QString written = text.mid(i, ProsignLength).toUpper();
            for (const Prosign &p : Prosigns) {
                if (written == QStringView(p.written)) {
                    out = QByteArray(1, p.code);
                    i += ProsignLength - 1;
                    break;
                }
            }
        } else if (c == QChar(0x00DF)) { // ß
            out = "SS";
        } else if (const uchar byte = keyerByte(c)) {
            out = QByteArray(1, char(byte));
        }
        if (out.isEmpty())
            continue;
        if (blank && !bytes.isEmpty())
            bytes += ' ';
        blank = false;
        bytes += out;
    }
    if (blank && !bytes.isEmpty())
        bytes += ' ';
    return bytes;
}

} // namespace KeyerText
