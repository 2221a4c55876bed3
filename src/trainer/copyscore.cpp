#include "copyscore.h"

#include "keyertext.h"

#include <algorithm>
#include <map>
#include <vector>

using namespace Qt::StringLiterals;

QByteArray CopyScore::characters(const QString &text)
{
    QByteArray bytes = KeyerText::fromText(text);
    bytes.replace(' ', QByteArray());
    return bytes;
}

QList<CopyScore::Aligned> CopyScore::align(QByteArrayView sent, QByteArrayView copied)
{
    enum From : uchar { Diagonal, Up, Left };
    const qsizetype n = sent.size(), m = copied.size();
    const auto at = [m](qsizetype i, qsizetype j) { return size_t(i * (m + 1) + j); };
    std::vector<uchar> from(size_t((n + 1) * (m + 1)));
    std::vector<qsizetype> previous(size_t(m + 1)), current(size_t(m + 1));
    for (qsizetype j = 0; j <= m; ++j) {
        previous[size_t(j)] = j;
        from[at(0, j)] = Left;
    }
    for (qsizetype i = 1; i <= n; ++i) {
        current[0] = i;
        from[at(i, 0)] = Up;
        for (qsizetype j = 1; j <= m; ++j) {
            const qsizetype diagonal = previous[size_t(j - 1)] + (sent[i - 1] == copied[j - 1] ? 0 : 1);
            const qsizetype up = previous[size_t(j)] + 1;
            const qsizetype left = current[size_t(j - 1)] + 1;
            qsizetype best = diagonal;
            uchar step = Diagonal;
            if (up < best) {
                best = up;
                step = Up;
            }
            if (left < best) {
                best = left;
                step = Left;
            }
            current[size_t(j)] = best;
            from[at(i, j)] = step;
        }
        std::swap(previous, current);
    }
    QList<Aligned> steps;
    for (qsizetype i = n, j = m; i > 0 || j > 0;) {
        switch (from[at(i, j)]) {
        case Diagonal:
            --i;
            --j;
            steps.append({sent[i] == copied[j] ? Step::Match : Step::Wrong, sent[i], copied[j]});
            break;
        case Up:
            --i;
            steps.append({Step::Missed, sent[i], 0});
            break;
        default:
            --j;
            steps.append({Step::Extra, 0, copied[j]});
            break;
        }
    }
    std::reverse(steps.begin(), steps.end());
    return steps;
}

CopyScore CopyScore::score(const QString &monitorText, const QString &copy)
{
    const QByteArray sent = characters(monitorText).left(MostCharacters);
    const QByteArray copied = characters(copy).left(MostCharacters);
    CopyScore result;
    result.m_sent = sent.size();
    std::map<char, CharacterScore> perCharacter;
    for (const Aligned &a : align(sent, copied)) {
        if (a.step == Step::Extra) {
            ++result.m_extra;
            continue;
        }
        CharacterScore &c = perCharacter[a.sent];
        c.character = a.sent;
        ++c.sent;
        if (a.step == Step::Wrong) {
            ++c.wrong;
            ++result.m_wrong;
        } else if (a.step == Step::Missed) {
            ++c.missed;
            ++result.m_missed;
        }
    }
    for (const auto &[character, score] : perCharacter)
        result.m_characters.append(score);
    std::stable_sort(result.m_characters.begin(), result.m_characters.end(),
                     [](const CharacterScore &a, const CharacterScore &b) {
                         if (a.errorPercent() != b.errorPercent())
                             return a.errorPercent() > b.errorPercent();
                         return a.errors() > b.errors();
                     });
    return result;
}

double CopyScore::errorPercent() const
{
    if (m_sent == 0)
        return 0.0;
    return qMin(100.0, 100.0 * double(errors()) / double(m_sent));
}
