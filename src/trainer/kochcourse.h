#pragma once

#include <QByteArray>
#include <QString>

// The Koch course: the characters in the order they are learnt, at full
// character speed from the first lesson on. Lesson n practises the first
// n + 1 of them; its newest characters come up more often than the rest,
// so that they are learnt while the old ones stay in practice.
class KochCourse
{
public:
    static constexpr int LessonCount = 40;
    // The newest this many characters of a lesson, drawn this many times
    // as often as each older one.
    static constexpr int NewCharacters = 2;
    static constexpr int NewCharacterWeight = 2;

    // The order of the course in the keyer's bytes ("=" is <bt>).
    static QByteArray order();
    // The characters of lesson 1 to LessonCount; out-of-range lessons are
    // taken as the nearest one.
    static QByteArray characters(int lesson);
    // The lesson's draw pool: each character once, its newest ones
    // NewCharacterWeight times (lesson 1's two characters stay even).
    static QByteArray pool(int lesson);
    // "Lesson 3: K M U R" for the lesson list.
    static QString title(int lesson);
    // The name a lesson's scores are kept under, "Koch 3".
    static QString scoreName(int lesson);
};
