#include "spacingrules.h"

#include <QtGlobal>

#include <cmath>
#include <tuple>

namespace SpacingRules {

int wordSpaceFor(int charSpace, int wordSpace)
{
    return qMax(wordSpace, 2 * charSpace);
}

int effectiveWordSpeed(int charSpeed, int charSpace, int wordSpace)
{
    const int denominator = 36 + 5 * charSpace + wordSpace;
    return denominator > 0 ? charSpeed * 50 / denominator : 0;
}

Spacing farnsworth(int charSpeed, int effectiveSpeed)
{
    Spacing best{StandardCharSpace, StandardWordSpace};
    if (charSpeed <= 0 || effectiveSpeed >= charSpeed)
        return best;
    // First the speed the keyer shows, then the exact one, then the
    // shortest word space.
    const auto misfit = [&](const Spacing &s) {
        const double exact = charSpeed * 50.0 / (36 + 5 * s.charSpace + s.wordSpace);
        return std::tuple(std::abs(effectiveWordSpeed(charSpeed, s.charSpace, s.wordSpace) - effectiveSpeed),
                          std::abs(exact - effectiveSpeed), s.wordSpace - 2 * s.charSpace);
    };
    for (int c = StandardCharSpace; c <= MostCharSpace; ++c) {
        for (int w = wordSpaceFor(c, StandardWordSpace); w <= MostWordSpace; ++w) {
            if (misfit({c, w}) < misfit(best))
                best = {c, w};
        }
    }
    return best;
}

} // namespace SpacingRules
