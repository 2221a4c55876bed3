#pragma once

// The trainer keyer's spacing: the character and word spaces of its block
// and the word speed they give at a character speed.
namespace SpacingRules {

constexpr int StandardCharSpace = 2;
constexpr int StandardWordSpace = 4;
// The widest spaces the keyer's block takes.
constexpr int MostCharSpace = 15;
constexpr int MostWordSpace = 40;

// The word space never falls below twice the character space: moving the
// character space raises it, moving the word space is held there.
int wordSpaceFor(int charSpace, int wordSpace);

// charSpeed × 50 / (36 + 5 × charSpace + wordSpace), whole words per
// minute; the standard spacing gives the character speed itself.
int effectiveWordSpeed(int charSpeed, int charSpace, int wordSpace);

struct Spacing
{
    int charSpace;
    int wordSpace;
    bool operator==(const Spacing &) const = default;
};

// Farnsworth timing: characters at charSpeed, the gaps stretched until the
// keyer shows effectiveSpeed (or as near as its spaces reach). Of equal
// fits, the word space is the shortest the keyer allows, so that the
// stretch goes into the gaps between characters, as Farnsworth's does.
// An effective speed at or above the character speed is the standard
// spacing.
Spacing farnsworth(int charSpeed, int effectiveSpeed);

} // namespace SpacingRules
