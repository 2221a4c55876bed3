#include "firmwareloaderwindow.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

FirmwareLoaderWindow::FirmwareLoaderWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"FirmwareLoader"_s);
    setWindowTitle(tr("Load Firmware"));
    m_state = new QLabel;
    m_state->setObjectName(u"lblLoaderState"_s);
    m_state->setWordWrap(true);
    m_output = new QPlainTextEdit;
    m_output->setObjectName(u"txtLoaderOutput"_s);
    m_output->setReadOnly(true);
    m_output->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    m_stop = buttons->addButton(tr("&Stop"), QDialogButtonBox::ActionRole);
    m_stop->setObjectName(u"btnStopLoader"_s);
    m_stop->setEnabled(false);
    connect(m_stop, &QPushButton::clicked, this, &FirmwareLoaderWindow::stopRequested);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_state);
    layout->addWidget(m_output, 1);
    layout->addWidget(buttons);
    resize(640, 420);
}

void FirmwareLoaderWindow::begin(const QStringList &commandLine)
{
    m_output->clear();
    m_output->appendPlainText(u"$ "_s + commandLine.join(u' '));
    m_stop->setEnabled(true);
    m_state->setText(tr("Writing the firmware. Release the joystick once the loader has found the keyer."));
}

void FirmwareLoaderWindow::append(const QString &text)
{
    m_output->moveCursor(QTextCursor::End);
    m_output->insertPlainText(text);
    m_output->moveCursor(QTextCursor::End);
}

void FirmwareLoaderWindow::end(int exitCode, bool crashed, bool verified)
{
    m_stop->setEnabled(false);
    if (crashed)
        m_state->setText(tr("The loader was stopped. Enter the keyer's boot loader again (Reset with the joystick "
                            "held) and click \"Load Firmware\" once more."));
    else if (exitCode == 0 && verified)
        m_state->setText(tr("The firmware has been written and verified. Move the joystick up to start it, "
                            "then click \"Restart Program\"."));
    else if (exitCode == 0)
        m_state->setText(tr("The firmware has been written but NOT verified: the loader did not report the flash "
                            "verified, or its command (setting FirmwareLoader) switches verification off. Do not "
                            "start it yet: enter the keyer's boot loader again (Reset with the joystick held) and "
                            "click \"Load Firmware\" once more, with verification."));
    else
        m_state->setText(tr("The loader failed (exit code %1). Check the cable, enter the keyer's boot loader "
                            "again (Reset with the joystick held) and click \"Load Firmware\" once more.")
                             .arg(exitCode));
}
