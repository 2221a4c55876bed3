#include "tqslwindow.h"

#include "tqslcommand.h"

#include <QDir>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TqslWindow::TqslWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"frmTQSL"_s);
    setWindowTitle(u"TQSL"_s);
    m_command = new QLabel;
    m_command->setObjectName(u"lblTQSLCommand"_s);
    m_command->setWordWrap(true);
    m_command->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_output = new QPlainTextEdit;
    m_output->setObjectName(u"txtTQSLOutput"_s);
    m_output->setReadOnly(true);
    m_output->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_result = new QLabel;
    m_result->setObjectName(u"lblTQSLResult"_s);
    m_result->setWordWrap(true);
    QFont bold = m_result->font();
    bold.setBold(true);
    m_result->setFont(bold);
    auto *close = new QPushButton(tr("Close"));
    close->setObjectName(u"btnTQSLClose"_s);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_result, 1);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_command);
    layout->addWidget(m_output, 1);
    layout->addLayout(buttons);
    resize(640, 360);

    m_process.setProcessChannelMode(QProcess::MergedChannels);
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &TqslWindow::showOutput);
    connect(&m_process, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        // What TQSL printed last tells why it ended so.
        showOutput();
        if (status == QProcess::CrashExit)
            end(false, u"TQSL ended abnormally: nothing is known to have been uploaded"_s);
        else
            end(TqslCommand::outcome(code) != TqslCommand::Outcome::NotUploaded,
                TqslCommand::words(code, m_output->toPlainText()));
    });
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            end(false, u"TQSL could not be started: %1"_s.arg(m_process.errorString()));
    });
}

void TqslWindow::showOutput()
{
    const QByteArray bytes = m_process.readAllStandardOutput();
    if (bytes.isEmpty())
        return;
    m_output->moveCursor(QTextCursor::End);
    m_output->insertPlainText(QString::fromLocal8Bit(bytes));
    m_output->ensureCursorVisible();
}

void TqslWindow::run(const QString &program, const QString &adifPath, const QString &location)
{
    m_command->setText(TqslCommand::commandLine(program, adifPath, location));
    m_output->clear();
    m_result->clear();
    show();
    raise();
    activateWindow();
    m_process.setWorkingDirectory(QDir::currentPath());
    m_process.start(program, TqslCommand::arguments(adifPath, location));
}

void TqslWindow::end(bool success, const QString &words)
{
    m_result->setText(words);
    m_result->setStyleSheet(success ? QString() : u"color: #b00000;"_s);
    emit finished(success, words);
}
