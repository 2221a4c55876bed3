#pragma once

#include <QDialog>
#include <QMessageBox>

#include <functional>

class QButtonGroup;
class QLabel;
class QLineEdit;
class SettingsStore;

// The "Remote Control" dialog: the role of this station on the remote
// control link and its addresses, the server's inactivity time-out,
// dynamic buffering and allowed clients. Reads the settings when it is
// made and stores them on Save.
class TCPParms : public QDialog
{
    Q_OBJECT
public:
    using MessageFunction = std::function<void(QMessageBox::Icon icon, const QString &text)>;

    // message shows the dialog's messages (a message box when empty).
    TCPParms(SettingsStore *settings, MessageFunction message, QWidget *parent = nullptr);

    // This computer's address as others reach it (the first IPv4 address
    // that is not loopback), else 127.0.0.1.
    static QString ownAddress();

    // The checks made when a box loses focus and again on Save: false after
    // the message, with the box set to its default.
    bool txtIP_LostFocus();
    bool txtPort_LostFocus();
    bool txtTimeout_LostFocus();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void optRemoteRole_Click(int role);
    void btnSave_Click();
    void show(QMessageBox::Icon icon, const QString &text);
    bool clientRole() const;

    SettingsStore *m_settings;
    MessageFunction m_message;
    QButtonGroup *m_role;
    QLabel *m_ipLabel;
    QLabel *m_portLabel;
    QLineEdit *m_ip;
    QLineEdit *m_port;
    QLineEdit *m_timeout;
    QLineEdit *m_buffering;
    QLineEdit *m_allow;
    // The address fields of the other kind of role, kept while the boxes
    // show this kind's.
    QString m_otherIP, m_otherPort;
    int m_shownRole = 0;
    bool m_checking = false;
};
