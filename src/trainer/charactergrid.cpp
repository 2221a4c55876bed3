#include "charactergrid.h"

#include <QtGlobal>

#include <array>
#include <span>

namespace {

struct Sign
{
    const char16_t *label;
    char writtenAs;
    const char16_t *toolTip;
};

// Digits and letters (0-35) are built below; the rest is written out.
constexpr Sign Signs[] = {
    {u"?", '?', u""},
    {u"/", '/', u""},
    {u",", ',', u""},
    {u".", '.', u""},
    {u"(", '(', u"<kn>"},
    {u")", ')', u""},
    {u":", ':', u""},
    {u";", ';', u""},
    {u"!", '!', u""},
    {u"'", '\'', u""},
    {u"\"", '"', u""},
    {u"=", '=', u"<bt>"},
    {u"ar", '+', u"<ar>"},
    {u"sk", '#', u"<sk>"},
    {u"bk", '>', u"<bk>"},
    {u"as", '&', u"<as>"},
    {u"ka", '%', u"<ka>"},
    {u"ve", '^', u"<ve>"},
    {u"$", '$', u""},
    {u"@", '@', u""},
    {u"_", '_', u""},
    {u"\u00C0", char(0xC0), u""},
    {u"\u00C4", char(0xC4), u""},
    {u"\u00D6", char(0xD6), u""},
    {u"\u00DC", char(0xDC), u""},
    {u"\u00D1", char(0xD1), u""},
    {u"\u00C7", char(0xC7), u""},
    {u"\u00C9", char(0xC9), u""},
    {u"\u00C8", char(0xC8), u""},
    {u"ch", '*', u""},
    {u"\u00DE", char(0xDE), u""},
    {u"\u00D0", char(0xD0), u""},
};
static_assert(36 + std::size(Signs) == CharacterGrid::CellCount);

constexpr char16_t Labels[] = u"\u00D8123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
static_assert(std::size(Labels) == 37);

struct Range
{
    int first;
    int last;
};

std::span<const Range> groupOf(CharacterGrid::Set set)
{
    using Set = CharacterGrid::Set;
    static constexpr Range common[] = {{0, 40}, {47, 50}};
    static constexpr Range letters[] = {{10, 35}};
    static constexpr Range numbers[] = {{0, 9}};
    static constexpr Range punctuation[] = {{36, 46}};
    static constexpr Range prosigns[] = {{47, 53}, {40, 40}};
    static constexpr Range specials[] = {{54, 67}};
    static constexpr Range all[] = {{0, CharacterGrid::CellCount - 1}};
    const auto list = [](const auto &ranges) { return std::span<const Range>(ranges); };
    switch (set) {
    case Set::Common: return list(common);
    case Set::Letters: return list(letters);
    case Set::Numbers: return list(numbers);
    case Set::Punctuation: return list(punctuation);
    case Set::Prosigns: return list(prosigns);
    case Set::Specials: return list(specials);
    default: return list(all);
    }
}

} // namespace

const CharacterGrid::Cell &CharacterGrid::cell(int index)
{
    static const auto table = [] {
        std::array<Cell, CellCount> cells{};
        for (int i = 0; i < 36; ++i) {
            // Slashed zero shown, digit written.
            const char written = i < 10 ? char('0' + i) : char('A' + i - 10);
            cells[size_t(i)] = Cell{QString(QChar(Labels[i])), written, {}};
        }
        for (size_t i = 0; i < std::size(Signs); ++i) {
            const Sign &sign = Signs[i];
            cells[36 + i] = Cell{QString::fromUtf16(sign.label), sign.writtenAs, QString::fromUtf16(sign.toolTip)};
        }
        return cells;
    }();
    return table[size_t(qBound(0, index, CellCount - 1))];
}

void CharacterGrid::press(Set set)
{
    if (set == Set::All || set == Set::None) {
        set == Set::All ? m_selected.set() : m_selected.reset();
        return;
    }
    bool anyClear = false;
    for (const Range &range : groupOf(set)) {
        for (int i = range.first; i <= range.last; ++i)
            anyClear = anyClear || !m_selected.test(size_t(i));
    }
    for (const Range &range : groupOf(set)) {
        for (int i = range.first; i <= range.last; ++i)
            m_selected.set(size_t(i), anyClear);
    }
}

QByteArray CharacterGrid::pool() const
{
    QByteArray pool;
    for (int i = 0; i < CellCount; ++i) {
        if (m_selected.test(size_t(i)))
            pool += cell(i).writtenAs;
    }
    return pool;
}
