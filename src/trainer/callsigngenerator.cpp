#include "callsigngenerator.h"

#include "lessongenerator.h"
#include "randomsource.h"

#include <algorithm>

namespace {

constexpr int PrefixColumns = 4;

bool isCallCharacter(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

} // namespace

QStringList CallSignGenerator::prefixes(const QString &countriesText)
{
    QStringList found;
    for (const QString &line : countriesText.split(u'\n')) {
        if (line.startsWith(u';'))
            continue;
        const QString prefix = line.left(PrefixColumns).trimmed().toUpper();
        if (!prefix.isEmpty() && std::all_of(prefix.begin(), prefix.end(), isCallCharacter))
            found.append(prefix);
    }
    found.removeDuplicates();
    return found;
}

QByteArray CallSignGenerator::call(const QString &prefix, RandomSource &random)
{
    QByteArray call = prefix.toLatin1();
    // The suffix is the letters after the call's last digit; a prefix such
    // as VK9N brings the first of them.
    qsizetype lastDigit = -1;
    for (qsizetype i = 1; i < call.size(); ++i) {
        if (call.at(i) >= '0' && call.at(i) <= '9')
            lastDigit = i;
    }
    qsizetype prefixLetters = 0;
    if (lastDigit < 0)
        call += char('0' + LessonGenerator::draw(random.next(), 10));
    else
        prefixLetters = call.size() - 1 - lastDigit;
    const int choices = int(qMax<qsizetype>(1, MostSuffixLetters - prefixLetters));
    const int letters = 1 + LessonGenerator::draw(random.next(), choices);
    for (int i = 0; i < letters; ++i)
        call += char('A' + LessonGenerator::draw(random.next(), 26));
    return call;
}

QByteArray CallSignGenerator::calls(const QStringList &prefixes, int wordCount, int repeat, RandomSource &random)
{
    QByteArray text;
    if (prefixes.isEmpty())
        return text;
    for (int w = 0; w < wordCount; ++w) {
        const QString &prefix = prefixes.at(LessonGenerator::draw(random.next(), int(prefixes.size())));
        text += (call(prefix, random) + ' ').repeated(repeat);
    }
    return text;
}
