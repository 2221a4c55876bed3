#pragma once

// The trainer keyer's spacing: the character and word spaces of its block
// and the word speed they give at a character speed.
namespace SpacingRules {

constexpr int StandardCharSpace = 2;
constexpr int StandardWordSpace = 4;

// The word space never falls below twice the character space: moving the
// character space raises it, moving the word space is held there.
int wordSpaceFor(int charSpace, int wordSpace);

// charSpeed × 50 / (36 + 5 × charSpace + wordSpace), whole words per
// minute; the standard spacing gives the character speed itself.
int effectiveWordSpeed(int charSpeed, int charSpace, int wordSpace);

} // namespace SpacingRules
