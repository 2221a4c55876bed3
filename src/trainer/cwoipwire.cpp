#include "cwoipwire.h"

#include <QtGlobal>

#include <cstring>

namespace CwoipWire {

int durationClass(char c)
{
    // Windows-1252 bytes of the accented letters the keyer codes.
    static const struct
    {
        int units;
        const char *characters;
    } classes[] = {
        {2, "E "},
        {3, "IT"},
        {4, "SAN"},
        {5, "HDMRU"},
        {6, "5BFGKLVW"},
        {7, "46COPXZ\xC4\xC6\xDC\xC9^&"},
        {8, "37JQY\xD6\xD8\xC7\xC8\xD0\xDE/=+("},
        {9, "28\xC0\xC5?$\"#-%<\x08"},
        {10, "19\xD1.;_:@"},
    };
    for (const auto &entry : classes) {
        if (c != '\0' && std::strchr(entry.characters, c))
            return entry.units;
    }
    return 11;
}

double unitMs(int speed)
{
    return 2400.0 / qMax(1, speed);
}

bool endsWord(char c)
{
    return c != '\0' && std::strchr(" </:@,.-", c);
}

} // namespace CwoipWire
