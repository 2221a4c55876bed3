#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

// Hands the stored firmware image to the external loader (avrdude, talking
// to the keyer's AVR109 boot loader over the keyer's own serial port) and
// passes on what it prints, as it prints it.
class FirmwareLoader : public QObject
{
    Q_OBJECT
public:
    // The default of the `FirmwareLoader` setting. %PORT%, %BAUD% and
    // %IMAGE% are filled in; the part (-p) is the keyer's micro-controller.
    static QString defaultCommand();

    // The command with its place-holders filled in, split into program and
    // arguments (double quotes group). Empty when the command is empty.
    static QStringList commandLine(const QString &command, const QString &port, qint32 baudRate, const QString &image);

    // Why the command's program cannot run here (not installed); empty
    // when it can.
    static QString missingProgram(const QStringList &commandLine);

    // True only when avrdude itself checked the flash against the image: the
    // command writes the flash (-U flash:w:...) without switching the check
    // off (-V) or writing nothing (-n), and its output reports the flash
    // verified with no verification error. An exit code of 0 alone says
    // neither.
    static bool verified(const QStringList &commandLine, const QString &output);

    explicit FirmwareLoader(QObject *parent = nullptr);
    ~FirmwareLoader() override;

    // Starts the loader without waiting for it. False with *error set when
    // it does not start.
    bool start(const QStringList &commandLine, QString *error);
    // Ends a running loader (it reports finished, crashed).
    void stop() { m_process.kill(); }
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }

signals:
    void output(const QString &text);
    // verified: see verified(), for this run's command and output.
    void finished(int exitCode, bool crashed, bool verified);

private:
    QProcess m_process;
    QStringList m_commandLine;
    QString m_output;
};
