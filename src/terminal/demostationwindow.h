#pragma once

#include "demopartner.h"

#include <QDialog>
#include <QTimer>

class QPlainTextEdit;

// "Demo station": what the other station of the demo sends back, shown as
// text, with a hint for the next step of the contact.
class DemoStationWindow : public QDialog
{
    Q_OBJECT
public:
    explicit DemoStationWindow(QWidget *parent = nullptr);

    // What the keyer keyed (the monitor's new text).
    void keyed(const QString &text);

private:
    void transmissionOver();

    DemoPartner m_partner;
    QTimer m_quiet;
    QPlainTextEdit *m_heard;
};
