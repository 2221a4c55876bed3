#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <utility>

// The server's side of the remote control link without the socket: the
// hello check, speed and keep-alive commands, the inactivity count, dynamic
// buffering, and the hand-over of the text to the keyer at the pace the
// keyer keys it.
//
// Text goes through two stages. Dynamic buffering holds it until a word
// boundary, buffering level x 11 characters, a flush, a keep-alive (the
// client has been silent for a while, so the word is complete) or a
// goodbye. Released text then waits in a queue and is handed to the keyer
// while fewer than KeyerAhead characters are out that the keyer has not
// reported keyed. So the keyer never holds more than KeyerAhead characters
// from a remote station, and this side never more than QueueLimit: text
// beyond that is dropped (a client can only send faster than its own keyer
// keys when it is not a keyer at all).
class RemoteReceiver
{
public:
    // More than the largest held word (3 x 11), so a released word goes to
    // the keyer at once.
    static constexpr int KeyerAhead = 36;
    static constexpr int QueueLimit = 100;
    static constexpr int CharactersPerLevel = 11;

    class Keyer
    {
    public:
        virtual ~Keyer() = default;
        virtual void setSpeed(int wpm) = 0;
        virtual void sendCharacter(char c) = 0;
        // Drop what the keyer holds to key.
        virtual void stopKeying() = 0;
    };

    // Why the server must let the client go.
    enum class Drop { None, WrongHello, Goodbye, Inactive };

    struct Outcome
    {
        bool helloAccepted = false;
        Drop drop = Drop::None;
    };

    explicit RemoteReceiver(Keyer &keyer) : m_keyer(keyer) {}

    // 0 off, 1 to 3 on; any other value counts as 1.
    void setBuffering(int level);
    // Minutes without anything but keep-alives; 0 never.
    void setInactivityTimeout(int minutes) { m_timeoutMinutes = qMax(0, minutes); }

    // A new client: nothing counts until its hello.
    void accept();
    bool connected() const { return m_state == State::Connected; }
    // Takes what the client sent. After a drop the rest is not looked at.
    Outcome take(QByteArrayView bytes);

    // The keyer reported a keyed character: room for the next.
    void keyed();
    // The keyer has reported nothing for long: whatever it was given is
    // keyed (or its reports were lost), so it may have more.
    void keyerQuiet();
    // Stops the remote text: held, queued and the keyer's share. True when
    // there was any.
    bool discard();

    int speed() const { return m_speed; }
    char lastControl() const { return m_lastControl; }
    int keyerAhead() const { return m_ahead; }
    qsizetype held() const { return m_held.size(); }
    qsizetype queued() const { return m_queue.size(); }
    // True once when text starts being dropped; again only after the queue
    // has emptied.
    bool takeOverflow() { return std::exchange(m_overflowReported, false); }

private:
    enum class State { AwaitHello, AwaitHelloSpeed, Connected };

    void text(char c);
    void release();
    void pump();
    void applySpeed(int wpm);

    Keyer &m_keyer;
    State m_state = State::AwaitHello;
    char m_pendingCommand = 0; // a command byte whose speed byte is still to come
    int m_level = 1;
    int m_timeoutMinutes = 0;
    int m_idleCount = 0;
    int m_speed = 0;
    char m_lastControl = 0;
    QByteArray m_held;
    QByteArray m_queue;
    int m_ahead = 0;
    bool m_overflowing = false;
    bool m_overflowReported = false;
};
