#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// What the student copied against what the keyer sent, character by
// character. The two are aligned by edit distance, so that one missed or
// one extra character costs one error and does not shift every character
// after it into an error.
class CopyScore
{
public:
    enum class Step { Match, Wrong, Missed, Extra };
    struct Aligned
    {
        Step step;
        char sent;   // 0 for an extra character
        char copied; // 0 for a missed one
        bool operator==(const Aligned &) const = default;
    };
    struct CharacterScore
    {
        char character = 0;
        int sent = 0;
        int missed = 0;
        int wrong = 0;
        int errors() const { return missed + wrong; }
        double errorPercent() const { return sent > 0 ? 100.0 * errors() / sent : 0.0; }
    };

    // Beyond this many characters of each side only the first are scored:
    // the alignment keeps a step for every pair of positions.
    static constexpr qsizetype MostCharacters = 4000;

    // Monitor or copy text as the keyer's characters without blanks: the
    // monitor's "<ar>" and the like as their codes, its slashed zero as 0,
    // lower case raised.
    static QByteArray characters(const QString &text);
    // The cheapest alignment (a wrong, missed or extra character costs 1);
    // of equal ones, wrong before missed before extra.
    static QList<Aligned> align(QByteArrayView sent, QByteArrayView copied);

    static CopyScore score(const QString &monitorText, const QString &copy);

    qsizetype sentCount() const { return m_sent; }
    qsizetype errors() const { return m_wrong + m_missed + m_extra; }
    qsizetype wrong() const { return m_wrong; }
    qsizetype missed() const { return m_missed; }
    qsizetype extra() const { return m_extra; }
    // Errors per character sent, at most 100.
    double errorPercent() const;
    // Every character sent, the most often wrong or missed first.
    const QList<CharacterScore> &worstFirst() const { return m_characters; }

private:
    qsizetype m_sent = 0;
    qsizetype m_wrong = 0;
    qsizetype m_missed = 0;
    qsizetype m_extra = 0;
    QList<CharacterScore> m_characters;
};
