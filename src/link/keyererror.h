#pragma once

#include <QString>

#include <exception>

// A numbered failure of a keyer transfer (2001-2099) or of the serial port
// (8002 and up). Handlers catch it and show one message naming the number
// and the letter of the operation that failed.
class KeyerError : public std::exception
{
public:
    explicit KeyerError(int number, QString detail = {}) : m_number(number), m_detail(std::move(detail)) {}
    int number() const { return m_number; }
    // What the operating system said, for port errors; empty otherwise.
    QString detail() const { return m_detail; }
    const char *what() const noexcept override { return "keyer error"; }

private:
    int m_number;
    QString m_detail;
};

namespace KeyerErrors {
constexpr int ConfigWriteFailed = 2010;
constexpr int ConfigReadFailed = 2014;
constexpr int BlockNotFramed = 2016;
constexpr int ClockNotSet = 2018;
constexpr int MonitorFull = 2099;
constexpr int InvalidPortNumber = 8002;
constexpr int PortOpenFailed = 8010;
constexpr int PortPermissionDenied = 8011;
} // namespace KeyerErrors

// A number as message texts show it: one blank before a non-negative number.
QString numberText(qint64 number);

// "Communication with keyer failed - Error " + number + the operation letter.
QString communicationFailedMessage(int number, QChar letter);
