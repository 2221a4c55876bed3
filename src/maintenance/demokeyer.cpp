#include "demokeyer.h"

#include "programoptions.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

using namespace Qt::StringLiterals;

DemoKeyer::~DemoKeyer()
{
    stop();
}

bool DemoKeyer::start(const QStringList &arguments)
{
    const QString program = siblingProgram(m_program);
    if (!QFileInfo(program).isExecutable()) {
        m_error = QCoreApplication::translate("DemoKeyer", "The %1 %2 is missing.").arg(m_what, program);
        return false;
    }
    const QString journal = m_dir.filePath(u"sim.out"_s);
    QProcess process;
    process.setProgram(program);
    process.setArguments(m_arguments + arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(journal);
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!process.startDetached(&m_pid)) {
        m_error = QCoreApplication::translate("DemoKeyer", "The %1 could not be started.").arg(m_what);
        return false;
    }
    // Its first line names the device.
    QDeadlineTimer deadline(5000);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        QFile file(journal);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray line = file.readLine();
            if (line.endsWith('\n')) {
                m_device = QString::fromLocal8Bit(line.trimmed());
                loop.quit();
                return;
            }
        }
        if (deadline.hasExpired())
            loop.quit();
    });
    poll.start(20);
    loop.exec();
    if (m_device.isEmpty()) {
        m_error = QCoreApplication::translate("DemoKeyer", "The %1 did not report its device.").arg(m_what);
        stop();
        return false;
    }
    return true;
}

void DemoKeyer::stop()
{
#ifdef Q_OS_UNIX
    if (m_pid > 0)
        ::kill(pid_t(m_pid), SIGTERM);
#endif
    m_pid = 0;
}
