#include "simprocess.h"

#include <QDeadlineTimer>
#include <QTest>

using namespace Qt::StringLiterals;

SimProcess::~SimProcess()
{
    stop();
}

QString SimProcess::programPath()
{
    return QStringLiteral(DASHWRIGHT_SIM_PATH);
}

bool SimProcess::start(const QStringList &arguments)
{
    m_process.setProgram(programPath());
    m_process.setArguments(arguments);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start();
    if (!m_process.waitForStarted(5000))
        return false;
    QDeadlineTimer deadline(10000);
    while (!m_process.canReadLine() && !deadline.hasExpired())
        m_process.waitForReadyRead(100);
    if (!m_process.canReadLine())
        return false;
    m_device = QString::fromLocal8Bit(m_process.readLine().trimmed());
    return !m_device.isEmpty();
}

void SimProcess::control(const QString &line)
{
    m_process.write(line.toUtf8() + '\n');
    m_process.waitForBytesWritten(1000);
}

QStringList SimProcess::journal()
{
    m_partial += m_process.readAllStandardOutput();
    qsizetype end;
    while ((end = m_partial.indexOf('\n')) >= 0) {
        m_journal << QString::fromLatin1(m_partial.left(end));
        m_partial.remove(0, end + 1);
    }
    return m_journal;
}

bool SimProcess::waitForJournal(const QString &prefix, int timeoutMs, int from)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const QStringList lines = journal();
        for (qsizetype i = from; i < lines.size(); ++i) {
            if (lines.at(i).startsWith(prefix))
                return true;
        }
        if (deadline.hasExpired())
            return false;
        QTest::qWait(20);
    }
}

void SimProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}
