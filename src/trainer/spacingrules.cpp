#include "spacingrules.h"

#include <QtGlobal>

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

} // namespace SpacingRules
