#pragma once

#include <QDialog>

#include <functional>

class CwoipLink;
class SettingsStore;
class QLineEdit;
class QPushButton;

// The `CWoIP` window: the peer's address and the port, and the buttons that
// start and end the link. The link itself lives on in the main window when
// this window closes.
class CWoIP : public QDialog
{
    Q_OBJECT
public:
    // Shows a message box; the main window's, so that tests can answer.
    using MessageFunction = std::function<void(bool critical, const QString &text)>;

    CWoIP(CwoipLink *link, SettingsStore *settings, MessageFunction message, QWidget *parent = nullptr);

    // Fills the fields from the settings and the buttons from the mode.
    void prepare();

    void Connect_Click();
    void Listen_Click();
    void Disconnect_Click();
    void Offline_Click();

private:
    // The port field, checked (5000-40000) and stored; 0 when refused.
    quint16 checkedPort();
    // The allowed callers, checked, stored and given to the link; false
    // when an entry is no address or network (the operator was told).
    bool takeAllowedCallers();
    void showButtons();

    CwoipLink *m_link;
    SettingsStore *m_settings;
    MessageFunction m_message;
    QLineEdit *IPAddress;
    QLineEdit *IPPort;
    QLineEdit *AllowedCallers;
    QPushButton *m_connect;
    QPushButton *m_listen;
    QPushButton *m_disconnect;
    QPushButton *m_offline;
};
