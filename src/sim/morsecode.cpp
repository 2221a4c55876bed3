#include "morsecode.h"

#include <QtGlobal>

namespace MorseCode {

namespace {

struct MorseEntry
{
    char character;
    const char *code;
};

// The keyer stands for each prosign with one character; the monitor shows
// them bracketed (+ <ar>, ( <kn>, > <bk>, & <as>, % <ka>, ^ <ve>, # <sk>).
constexpr MorseEntry MorseTable[] = {
    {'A', ".-"}, {'B', "-..."}, {'C', "-.-."}, {'D', "-.."}, {'E', "."},
    {'F', "..-."}, {'G', "--."}, {'H', "...."}, {'I', ".."}, {'J', ".---"},
    {'K', "-.-"}, {'L', ".-.."}, {'M', "--"}, {'N', "-."}, {'O', "---"},
    {'P', ".--."}, {'Q', "--.-"}, {'R', ".-."}, {'S', "..."}, {'T', "-"},
    {'U', "..-"}, {'V', "...-"}, {'W', ".--"}, {'X', "-..-"}, {'Y', "-.--"},
    {'Z', "--.."},
    {'0', "-----"}, {'1', ".----"}, {'2', "..---"}, {'3', "...--"}, {'4', "....-"},
    {'5', "....."}, {'6', "-...."}, {'7', "--..."}, {'8', "---.."}, {'9', "----."},
    {'.', ".-.-.-"}, {',', "--..--"}, {'?', "..--.."}, {'\'', ".----."},
    {'!', "-.-.--"}, {'/', "-..-."}, {')', "-.--.-"}, {':', "---..."},
    {';', "-.-.-."}, {'-', "-....-"}, {'_', "..--.-"}, {'"', ".-..-."},
    {'$', "...-..-"}, {'@', ".--.-."}, {'=', "-...-"},
    {'+', ".-.-."}, {'(', "-.--."}, {'>', "-...-.-"}, {'&', ".-..."},
    {'%', "-.-.-"}, {'^', "...-."}, {'#', "...-.-"}, {'*', "----"},
    // Latin-1 codes the keyer uses for its three extra letters.
    {char(192), ".--.-"}, {char(196), ".-.-"}, {char(214), "---."},
};

} // namespace

char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

QByteArray code(char c)
{
    const char wanted = upper(c);
    for (const MorseEntry &entry : MorseTable) {
        if (entry.character == wanted)
            return QByteArray(entry.code);
    }
    return {};
}

int units(char c)
{
    // The character before a space already ended with three units of gap;
    // a word gap is seven.
    if (c == ' ')
        return 4;
    const QByteArray elements = code(c);
    if (elements.isEmpty())
        return 0;
    int length = 0;
    for (char element : elements)
        length += element == '-' ? 3 : 1;
    length += int(elements.size()) - 1; // gaps inside the character
    return length + 3;                  // gap to the next character
}

int durationMs(char c, int wpm)
{
    return units(c) * 1200 / qMax(1, wpm);
}

} // namespace MorseCode
