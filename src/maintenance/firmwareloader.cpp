#include "firmwareloader.h"

#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

QString FirmwareLoader::defaultCommand()
{
    return u"avrdude -c avr109 -p m1284p -P %PORT% -b %BAUD% -U flash:w:%IMAGE%:i"_s;
}

QStringList FirmwareLoader::commandLine(const QString &command, const QString &port, qint32 baudRate,
                                        const QString &image)
{
    // Split before filling in, so that blanks in a folder name stay inside
    // their argument.
    QStringList words = QProcess::splitCommand(command);
    for (QString &word : words)
        word.replace(u"%PORT%"_s, port).replace(u"%BAUD%"_s, QString::number(baudRate)).replace(u"%IMAGE%"_s, image);
    return words;
}

FirmwareLoader::FirmwareLoader(QObject *parent) : QObject(parent)
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    connect(&m_process, &QProcess::readyRead, this, [this] {
        const QString text = QString::fromLocal8Bit(m_process.readAll());
        m_output += text;
        emit output(text);
    });
    connect(&m_process, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        m_output += QString::fromLocal8Bit(m_process.readAll());
        emit finished(exitCode, status == QProcess::CrashExit, verified(m_commandLine, m_output));
    });
}

FirmwareLoader::~FirmwareLoader()
{
    // A loader still running when the program ends is stopped: the keyer's
    // boot loader survives a broken write, and the next load starts over.
    if (m_process.state() != QProcess::NotRunning) {
        m_process.disconnect();
        m_process.kill();
        m_process.waitForFinished();
    }
}

bool FirmwareLoader::verified(const QStringList &commandLine, const QString &output)
{
    // avrdude's options bundle as getopt's do ("-qV"); these take a value,
    // glued on or as the next word.
    static const QString valued = u"bBcCEilpPTUx"_s;
    bool writesFlash = false;
    bool checkOff = false;
    for (qsizetype i = 1; i < commandLine.size(); ++i) {
        const QString &word = commandLine.at(i);
        if (word.size() < 2 || word.front() != u'-' || word.at(1) == u'-')
            continue;
        for (qsizetype at = 1; at < word.size(); ++at) {
            const QChar option = word.at(at);
            if (option == u'V' || option == u'n')
                checkOff = true;
            if (!valued.contains(option))
                continue;
            const QString value = at + 1 < word.size() ? word.mid(at + 1) : commandLine.value(++i);
            if (option == u'U' && value.startsWith(u"flash:w:"_s))
                writesFlash = true;
            break;
        }
    }
    // avrdude 7 reports a "verification mismatch", older ones an error.
    return writesFlash && !checkOff && output.contains(u"bytes of flash verified"_s)
           && !output.contains(u"verification error"_s, Qt::CaseInsensitive)
           && !output.contains(u"verification mismatch"_s, Qt::CaseInsensitive);
}

QString FirmwareLoader::missingProgram(const QStringList &commandLine)
{
    if (commandLine.isEmpty())
        return u"No firmware loader is set (setting FirmwareLoader)."_s;
    const QString program = commandLine.first();
    const bool found = program.contains(u'/') ? QFileInfo(program).isExecutable()
                                               : !QStandardPaths::findExecutable(program).isEmpty();
    if (found)
        return {};
    return u"The firmware loader %1 is not installed.\r\nInstall it (on Debian and Ubuntu: sudo apt install avrdude) "
           "and try again."_s.arg(program);
}

bool FirmwareLoader::start(const QStringList &commandLine, QString *error)
{
    if (const QString missing = missingProgram(commandLine); !missing.isEmpty()) {
        *error = missing;
        return false;
    }
    const QString program = commandLine.first();
    m_commandLine = commandLine;
    m_output.clear();
    m_process.start(program, commandLine.mid(1));
    if (!m_process.waitForStarted()) {
        *error = u"The firmware loader %1 could not be started: %2"_s.arg(program, m_process.errorString());
        return false;
    }
    return true;
}
