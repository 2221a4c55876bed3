#include "serialportswindow.h"

#include "serialportlist.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

SerialPortsWindow::SerialPortsWindow(const QStringList &keyerDevices, QWidget *parent)
    : QDialog(parent), m_keyerDevices(keyerDevices)
{
    setObjectName(u"SerialPorts"_s);
    setWindowTitle(tr("Serial ports"));
    m_table = new QTableWidget(0, 6);
    m_table->setObjectName(u"tblSerialPorts"_s);
    m_table->setHorizontalHeaderLabels({tr("Device"), tr("Stable name"), tr("Description"), tr("Maker"),
                                        tr("USB vendor:product"), tr("May open")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    auto *hint = new QLabel(tr("The keyer's USB adapter keeps its stable name wherever it is plugged in. "
                               "Unplug it and click Refresh to see which line it is."));
    hint->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QPushButton *refreshButton = buttons->addButton(tr("&Refresh"), QDialogButtonBox::ActionRole);
    connect(refreshButton, &QPushButton::clicked, this, &SerialPortsWindow::refresh);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(m_table, 1);
    layout->addWidget(buttons);
    resize(900, 320);
    refresh();
}

void SerialPortsWindow::refresh()
{
    const QList<SerialPortRow> rows = SerialPortList::discover(m_keyerDevices);
    m_table->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const SerialPortRow &row = rows.at(r);
        const QString maker = row.serialNumber.isEmpty() ? row.manufacturer
                                                         : u"%1 (serial %2)"_s.arg(row.manufacturer, row.serialNumber);
        const QStringList cells{row.device, row.stableName, row.description, maker, row.usbIds,
                                SerialPortList::accessText(row)};
        for (int c = 0; c < cells.size(); ++c)
            m_table->setItem(r, c, new QTableWidgetItem(cells.at(c)));
    }
    m_table->resizeColumnsToContents();
}
