#pragma once

#include <QString>
#include <QTemporaryDir>

// The simulated keyer that --demo starts beside the program. It runs
// detached so that a hand-over to the sibling program can keep using it;
// it ends by itself once nobody has had its device open for a while.
class DemoKeyer
{
public:
    DemoKeyer() = default;
    ~DemoKeyer();
    DemoKeyer(const DemoKeyer &) = delete;
    DemoKeyer &operator=(const DemoKeyer &) = delete;

    // Starts dashwright-sim and waits for its device path; false with
    // errorString() set when it does not come up.
    bool start();
    QString device() const { return m_device; }
    QString errorString() const { return m_error; }
    // Ends the simulated keyer now.
    void stop();
    // Leaves it running after this program ends (hand-over).
    void release() { m_pid = 0; }

private:
    qint64 m_pid = 0;
    QString m_device;
    QString m_error;
    QTemporaryDir m_dir;
};
