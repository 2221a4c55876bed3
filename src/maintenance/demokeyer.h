#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The simulated keyer that --demo starts (or, named so, another simulator:
// the radio). It is looked for beside the program (the build tree), then in
// ../lib/dashwright from the program's folder, where the package keeps it
// out of the user's PATH. It runs detached so that a hand-over to
// the sibling program can keep using it; it ends by itself once nobody has
// had its device open for a while.
class DemoKeyer
{
public:
    DemoKeyer() = default;
    // program: the simulator's file name; what: its name in messages;
    // arguments: how it ends by itself (the keyer: --idle-exit 10).
    DemoKeyer(const QString &program, const QString &what, const QStringList &arguments)
        : m_program(program), m_what(what), m_arguments(arguments)
    {
    }
    ~DemoKeyer();
    DemoKeyer(const DemoKeyer &) = delete;
    DemoKeyer &operator=(const DemoKeyer &) = delete;

    // Starts the simulator with these arguments besides those of its end
    // and waits for its device path; false with errorString() set when it does
    // not come up.
    bool start(const QStringList &arguments = {});
    // A folder of this run, removed at the end.
    QString folder() const { return m_dir.path(); }
    QString device() const { return m_device; }
    QString errorString() const { return m_error; }
    // Ends the simulated keyer now.
    void stop();
    // Leaves it running after this program ends (hand-over).
    void release() { m_pid = 0; }

private:
    QString m_program = QStringLiteral("dashwright-sim");
    QString m_what = QStringLiteral("simulated keyer");
    QStringList m_arguments{QStringLiteral("--idle-exit"), QStringLiteral("10")};
    qint64 m_pid = 0;
    QString m_device;
    QString m_error;
    QTemporaryDir m_dir;
};
