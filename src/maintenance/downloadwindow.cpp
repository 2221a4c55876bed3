#include "downloadwindow.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

DownloadWindow::DownloadWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"Download"_s);
    setWindowTitle(u"Software Update"_s);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowModality(Qt::ApplicationModal);
    m_downloadText = new QLabel(u"Checking for Updates ..."_s);
    m_downloadText->setObjectName(u"downloadText"_s);
    auto *busy = new QProgressBar;
    busy->setRange(0, 0);
    // Cancel ends the running fetch at once (rejected() reaches the
    // downloader); nothing half-fetched is kept.
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(u"btnCancelDownload"_s);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_downloadText);
    layout->addWidget(busy);
    layout->addWidget(buttons);
    setMinimumWidth(320);
}

void DownloadWindow::setText(const QString &text)
{
    m_downloadText->setText(text);
}
