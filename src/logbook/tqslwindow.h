#pragma once

#include <QDialog>
#include <QProcess>

class QLabel;
class QPlainTextEdit;

// Runs TQSL on an ADIF file and shows what it prints as it goes, then what
// its exit code and its final status line mean.
class TqslWindow : public QDialog
{
    Q_OBJECT
public:
    explicit TqslWindow(QWidget *parent = nullptr);

    bool running() const { return m_process.state() != QProcess::NotRunning; }
    // Shows the window and starts the program in the data folder, for
    // the station location given (none: TQSL's choice).
    void run(const QString &program, const QString &adifPath, const QString &location);

signals:
    // success: TQSL says it uploaded (some or all of) the QSOs.
    void finished(bool success, const QString &words);

private:
    void end(bool success, const QString &words);
    void showOutput();

    QProcess m_process;
    QLabel *m_command;
    QPlainTextEdit *m_output;
    QLabel *m_result;
};
