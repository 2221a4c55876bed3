#include "demostationwindow.h"

#include <QDateTime>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// A transmission is over when the keyer has been quiet this long.
constexpr int QuietMs = 1500;

} // namespace

DemoStationWindow::DemoStationWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"DemoStation"_s);
    setWindowTitle(tr("Demo station"));
    auto *hint = new QLabel(tr("The other station of the demo. Call CQ in the send buffer (\"CQ CQ DE "
                               "<your call> K\", Enter); it answers here. Send its call and a report (\"%1 DE "
                               "<your call> UR 599 K\"), Ctrl+Enter on its call checks it, Alt+Enter saves the "
                               "QSO; end with \"73\".")
                                .arg(m_partner.station().call));
    hint->setTextFormat(Qt::PlainText);
    hint->setWordWrap(true);
    m_heard = new QPlainTextEdit;
    m_heard->setObjectName(u"txtDemoStation"_s);
    m_heard->setReadOnly(true);
    m_heard->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(m_heard, 1);
    resize(420, 260);

    m_quiet.setSingleShot(true);
    m_quiet.setInterval(QuietMs);
    connect(&m_quiet, &QTimer::timeout, this, &DemoStationWindow::transmissionOver);
}

void DemoStationWindow::keyed(const QString &text)
{
    m_partner.keyed(text);
    m_quiet.start();
}

void DemoStationWindow::transmissionOver()
{
    const QString answer = m_partner.answer();
    if (answer.isEmpty())
        return;
    m_heard->appendPlainText(QDateTime::currentDateTimeUtc().toString(u"HH:mm:ss"_s) + u"  "_s + answer);
}
