#include "bandtable.h"

#include <string_view>

namespace BandTable {

namespace {

constexpr std::string_view Names[Count] = {
    "2M", "4M", "6M", "10M", "12M", "15M", "17M", "20M", "30M", "40M", "60M", "80M", "160M",
};

struct Range
{
    qint64 low;
    qint64 high;
    int band;
};

constexpr Range Ranges[] = {
    {1, 2, 12}, {3, 4, 11}, {5, 5, 10}, {7, 7, 9}, {10, 10, 8}, {14, 14, 7}, {18, 18, 6},
    {21, 21, 5}, {24, 25, 4}, {28, 29, 3}, {50, 54, 2}, {69, 70, 1}, {144, 148, 0},
};

} // namespace

QByteArray name(int index)
{
    if (index < 0 || index >= Count)
        return {};
    return QByteArray(Names[index].data(), qsizetype(Names[index].size()));
}

int indexOf(QByteArrayView bandName)
{
    for (int i = 0; i < Count; ++i) {
        if (bandName == QByteArrayView(Names[i].data(), qsizetype(Names[i].size())))
            return i;
    }
    return -1;
}

int indexOfMegahertz(qint64 megahertz)
{
    for (const Range &range : Ranges) {
        if (megahertz >= range.low && megahertz <= range.high)
            return range.band;
    }
    return -1;
}

} // namespace BandTable
