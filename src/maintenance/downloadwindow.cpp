#include "downloadwindow.h"

#include <QLabel>
#include <QProgressBar>
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
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_downloadText);
    layout->addWidget(busy);
    setMinimumWidth(320);
}

void DownloadWindow::setText(const QString &text)
{
    m_downloadText->setText(text);
}
