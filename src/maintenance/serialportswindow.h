#pragma once

#include <QDialog>
#include <QStringList>

class QTableWidget;

// "Serial ports": every serial device of this machine, to find the
// keyer's adapter and see whether this user may open it.
class SerialPortsWindow : public QDialog
{
    Q_OBJECT
public:
    // keyerDevices: the keyer's port table, listed first.
    explicit SerialPortsWindow(const QStringList &keyerDevices, QWidget *parent = nullptr);
    void refresh();

private:
    QStringList m_keyerDevices;
    QTableWidget *m_table;
};
