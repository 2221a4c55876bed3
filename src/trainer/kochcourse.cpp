#include "kochcourse.h"

#include "ansitext.h"

#include <QtGlobal>

using namespace Qt::StringLiterals;

namespace {

// The usual Koch order: 26 letters, 10 digits and . , / ? =, characters
// with long and short elements mixed early so that rhythm, not counting,
// is learnt.
constexpr char Order[] = "KMURESNAPTLWI.JZ=FOY,VG5/Q92H38B?47C1D60X";
static_assert(sizeof(Order) - 1 == KochCourse::LessonCount + 1);

} // namespace

QByteArray KochCourse::order()
{
    return QByteArray(Order);
}

QByteArray KochCourse::characters(int lesson)
{
    return order().left(qBound(1, lesson, LessonCount) + 1);
}

QByteArray KochCourse::pool(int lesson)
{
    const QByteArray chars = characters(lesson);
    QByteArray pool = chars;
    if (chars.size() > NewCharacters) {
        for (int extra = 1; extra < NewCharacterWeight; ++extra)
            pool += chars.right(NewCharacters);
    }
    return pool;
}

QString KochCourse::title(int lesson)
{
    QString shown;
    for (char c : characters(lesson)) {
        if (!shown.isEmpty())
            shown += u' ';
        shown += QChar(AnsiText::toUnicode(uchar(c)));
    }
    return u"Lesson %1: %2"_s.arg(qBound(1, lesson, LessonCount)).arg(shown);
}

QString KochCourse::scoreName(int lesson)
{
    return u"Koch %1"_s.arg(qBound(1, lesson, LessonCount));
}
