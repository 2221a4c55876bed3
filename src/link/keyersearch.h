#pragma once

#include <QByteArray>

#include <functional>

class KeyerLink;

// Finds the keyer at start-up: opens the chosen port, identifies the keyer
// with the "?" command, falls back through the line speeds and, when the
// automatic search is on, through the ports 1..16. On success the port is
// left open at receive threshold 0 and the answer names the device letter.
class KeyerSearch
{
public:
    enum class Outcome {
        Answered,     // a well-formed answer: see deviceLetter
        BadAnswer,    // something answered, but not "?", letter, ACK
        NotFound,     // no keyer at any port tried
        PortFailed,   // a port error other than "no such port"
        Cancelled     // the operator cancelled, or the program is closing
    };

    struct Result
    {
        Outcome outcome = Outcome::NotFound;
        int port = 0;
        qint32 baudRate = 0;
        char deviceLetter = 0;
        // The port list shows " ?" and the baud rate "?" (search exhausted or port error).
        bool portUnknown = false;
    };

    explicit KeyerSearch(KeyerLink &link) : m_link(link) {}

    // stop() is asked between steps; true ends the search as Cancelled.
    Result run(int port, qint32 baudRate, bool autoSearch, const std::function<bool()> &stop = {});

    // 38400 -> 19200 -> 9600 -> 4800 -> 0 (no lower rate); any other rate -> 0.
    static qint32 lowerBaudRate(qint32 baudRate);

private:
    KeyerLink &m_link;
};
