#pragma once

#include <QByteArray>

// What a trainer holds of the peer's characters before its keyer sounds
// them: the waiting text, its length in duration units, the peer's speed
// and the keep-alives heard since the last character.
//
// Text goes to the keyer once it is long enough to keep the keyer busy
// (11 units) or a word ends; from then on, until the keyer falls idle
// (tick), every character goes at once.
class CwoipPacer
{
public:
    static constexpr int HandOverUnits = 11;
    // A peer can send far faster than any keyer sounds. Characters beyond
    // this many waiting (here and in the hand-over queue) are dropped and
    // counted, so a flood never reaches the keyer.
    static constexpr int WaitingLimit = 64;
    static constexpr int InitialSpeed = 20;
    // Nor may the keyer hold more than this many units handed over and not
    // yet sounded (about fifteen characters, 13 s at 20 wpm): a peer that
    // sends faster than its own speed lets a keyer sound loses what does
    // not fit, counted with the rest. A peer keying by hand never comes near.
    static constexpr int BacklogLimitUnits = 10 * HandOverUnits;

    // One character message. True when the waiting text is to be handed to
    // the keyer now; tickIntervalMs() then is the time the keyer needs.
    // alreadyQueued: characters handed over but not yet written; nowMs: a
    // monotonic clock, the same for every call.
    bool addCharacter(int speed, char c, qsizetype alreadyQueued = 0, qint64 nowMs = 0);
    // The waiting text, now handed to the keyer.
    QByteArray takeText(qint64 nowMs = 0);
    // Units the keyer has been handed and has not sounded by nowMs.
    double backlogUnits(qint64 nowMs) const;
    const QByteArray &text() const { return m_text; }
    // The keyer has sounded everything handed to it.
    void tick() { m_units = 0; }
    int tickIntervalMs() const { return m_tickMs; }

    int speed() const { return m_speed; }
    int units() const { return m_units; }
    // Counts a keep-alive; returns the count since the last character.
    int keepAlive() { return ++m_keepAlives; }
    int dropped() const { return m_dropped; }
    // A new connection: nothing waiting, nothing counted.
    void clear();

private:
    QByteArray m_text;
    int m_textUnits = 0;    // of the waiting text
    double m_busyUntilMs = 0; // when the keyer has sounded all it was handed
    int m_units = 0;
    int m_speed = InitialSpeed;
    int m_tickMs = HandOverUnits * 2400 / InitialSpeed;
    int m_keepAlives = 0;
    int m_dropped = 0;
};
