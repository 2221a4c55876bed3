#pragma once

#include <QByteArray>
#include <QString>

// One datagram of the cwdaemon protocol that Linux contest loggers speak:
// plain text to key, or ESC, a code character and an argument.
struct CwDaemonRequest
{
    enum class Kind {
        Text,    // text to key
        Reset,   // ESC 0: back to the operator's speed, nothing left to key
        Speed,   // ESC 2 wpm
        Abort,   // ESC 4: stop the text being keyed
        Tune,    // ESC c seconds: key down for that long (0 releases)
        Reply,   // ESC h text: answer "h" + text once the next text is keyed
        Ignored, // understood, but nothing here to do (tone, PTT, word mode ...)
        Invalid  // an escape with an unknown code or an argument out of range
    };

    Kind kind = Kind::Invalid;
    QString text;     // Text: what the keyer is to key; Reply: the reply's text
    int value = 0;    // Speed: wpm; Tune: seconds

    static constexpr int MinSpeed = 5;
    static constexpr int MaxSpeed = 60;
    static constexpr int MaxTuneSeconds = 10;
    // Logger text not yet keyed that is kept; a datagram that would go
    // beyond it is dropped whole, so a flood cannot grow the send buffer
    // without end and what is keyed is never a cut-off word.
    static constexpr qsizetype MaxWaiting = 256;

    // Pure: the bytes of one datagram, as received.
    static CwDaemonRequest parse(const QByteArray &datagram);

    // Logger text as the keyer's send path takes it: upper case; line
    // breaks and tabs become spaces; cwdaemon's prosigns become the
    // keyer's ("*" AR as "+", "<" SK as "#", "!" SN as "^"; "=", "(", ">"
    // and "&" are the same on both); its speed steps "+" and "-" become
    // the send buffer's speed escapes, and the steps left over at the end
    // are taken back, so that a step lasts for the rest of its datagram;
    // the half-space "~", which the keyer cannot key, is dropped, as are
    // "¤" (the send buffer's escape), "#" (not cwdaemon's) and control
    // characters.
    static QString keyerText(const QByteArray &text);

    // The bytes answering a Reply request.
    static QByteArray replyDatagram(const QString &text) { return "h" + text.toLatin1(); }
};
