#pragma once

#include <QDialog>
#include <QMessageBox>

#include <functional>

class EqslAccount;
class QLineEdit;

// The eQSL account dialog: user ID and password, saved together or
// cleared together, and a line that says where the password is kept.
class EqslParms : public QDialog
{
    Q_OBJECT
public:
    // Shows a message; the main window passes its own, tests record them.
    using Notify = std::function<void(QMessageBox::Icon, const QString &)>;

    // editServer, when given, is offered as "Server..." (the service's
    // address and certificates).
    EqslParms(EqslAccount &account, Notify notify, QWidget *parent = nullptr,
              std::function<void()> editServer = {});

private:
    void btnSave_Click();
    void btnClear_Click();

    EqslAccount &m_account;
    Notify m_notify;
    QLineEdit *m_user;
    QLineEdit *m_password;
};
