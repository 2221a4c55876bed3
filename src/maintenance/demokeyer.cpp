#include "demokeyer.h"

#include "programoptions.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QStringList simulatorPlaces(const QString &name)
{
    const QString beside = siblingProgram(name);
    return {beside, QDir::cleanPath(QCoreApplication::applicationDirPath() + u"/../lib/dashwright/"_s
                                    + QFileInfo(beside).fileName())};
}

} // namespace

DemoKeyer::~DemoKeyer()
{
    stop();
}

bool DemoKeyer::start(const QStringList &arguments)
{
    const QStringList places = simulatorPlaces(m_program);
    const auto found =
        std::find_if(places.begin(), places.end(), [](const QString &path) { return QFileInfo(path).isExecutable(); });
    if (found == places.end()) {
        m_error = QCoreApplication::translate("DemoKeyer", "The %1 is missing: neither %2 nor %3 is there.")
                      .arg(m_what, places.first(), places.last());
        return false;
    }
    const QString program = *found;
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
