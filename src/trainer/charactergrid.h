#pragma once

#include <QByteArray>
#include <QString>

#include <bitset>

// The lesson generator's 68 character cells: what each shows, the byte it
// writes into a message (the trainer keyer's one-byte code, Windows-1252),
// which cells are selected, and the set buttons.
class CharacterGrid
{
public:
    static constexpr int CellCount = 68;

    struct Cell
    {
        QString label;
        char writtenAs;
        QString toolTip; // empty for most cells
    };

    enum class Set { All, None, Common, Letters, Numbers, Punctuation, Prosigns, Specials };

    static const Cell &cell(int index);

    bool isSelected(int index) const { return m_selected.test(size_t(index)); }
    void toggle(int index) { m_selected.flip(size_t(index)); }
    // All and None set and clear every cell; the others toggle their group:
    // all set when any of it is clear, else all cleared.
    void press(Set set);
    int selectedCount() const { return int(m_selected.count()); }
    // The written bytes of the selected cells in ascending index order.
    QByteArray pool() const;

private:
    std::bitset<CellCount> m_selected;
};
