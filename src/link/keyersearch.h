#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

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
        Cancelled     // the operator cancelled, or the program is closing
    };

    // A port that exists but did not open; the search went on without it.
    struct PortProblem
    {
        QString device;
        QString reason;
        bool permissionDenied = false;
    };

    struct Result
    {
        Outcome outcome = Outcome::NotFound;
        int port = 0;
        qint32 baudRate = 0;
        char deviceLetter = 0;
        // The port list shows " ?" and the baud rate "?" (search exhausted).
        bool portUnknown = false;
        QList<PortProblem> problems;
    };

    explicit KeyerSearch(KeyerLink &link) : m_link(link) {}

    // Told before each port and rate is tried.
    void setProgress(std::function<void(int port, qint32 baudRate)> trying) { m_trying = std::move(trying); }
    // Devices that belong to something else (the radio's port while the
    // radio is connected): passed over like a port that does not open.
    void setExcludedDevices(const QStringList &devices) { m_excluded = devices; }

    // stop() is asked after every wait; true ends the search as Cancelled.
    Result run(int port, qint32 baudRate, bool autoSearch, const std::function<bool()> &stop = {});

    // 38400 -> 19200 -> 9600 -> 4800 -> 0 (no lower rate); any other rate -> 0.
    static qint32 lowerBaudRate(qint32 baudRate);

    // What the operator needs to know beyond "no keyer": the ports that
    // would not open and why, and how to get permission. Empty when every
    // port opened.
    static QString problemText(const QList<PortProblem> &problems);
    // The start-up message for a search that found no keyer.
    static QString failureMessage(const Result &result);
    static QString noKeyerMessage();

private:
    // Sends "?" and reads the whole answer; linkStatus says how it went.
    void identify();

    KeyerLink &m_link;
    std::function<void(int, qint32)> m_trying;
    QStringList m_excluded;
};
