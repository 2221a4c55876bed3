#include "eqslparms.h"

#include "eqslaccount.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

EqslParms::EqslParms(EqslAccount &account, Notify notify, QWidget *parent, std::function<void()> editServer)
    : QDialog(parent), m_account(account), m_notify(std::move(notify))
{
    setObjectName(u"eQSLParms"_s);
    setWindowTitle(u"eQSL"_s);

    m_user = new QLineEdit(m_account.user());
    m_user->setObjectName(u"txtUserID"_s);
    m_password = new QLineEdit(m_account.password());
    m_password->setObjectName(u"txtPassword"_s);
    m_password->setEchoMode(QLineEdit::Password);

    auto *keeper = new QLabel(m_account.keeperText());
    keeper->setObjectName(u"lblPasswordKeeper"_s);
    keeper->setWordWrap(true);

    auto *save = new QPushButton(u"&Save"_s);
    save->setObjectName(u"btnSave"_s);
    save->setToolTip(u"Save UserID and Password"_s);
    save->setDefault(true);
    auto *clear = new QPushButton(u"&Clear"_s);
    clear->setObjectName(u"btnClear"_s);
    clear->setToolTip(u"Clear UserID and Password"_s);

    auto *form = new QFormLayout;
    form->addRow(u"User ID:"_s, m_user);
    form->addRow(u"Password:"_s, m_password);
    auto *buttons = new QHBoxLayout;
    if (editServer) {
        auto *server = new QPushButton(u"Ser&ver..."_s);
        server->setObjectName(u"btnServer"_s);
        server->setToolTip(u"The eQSL address and the certificates to trust"_s);
        connect(server, &QPushButton::clicked, this, std::move(editServer));
        buttons->addWidget(server);
    }
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(clear);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(keeper);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    connect(save, &QPushButton::clicked, this, &EqslParms::btnSave_Click);
    connect(clear, &QPushButton::clicked, this, &EqslParms::btnClear_Click);
}

void EqslParms::btnSave_Click()
{
    const QString user = m_user->text().trimmed();
    const QString password = m_password->text().trimmed();
    if (user.isEmpty() || password.isEmpty()) {
        m_notify(QMessageBox::Warning, u"You have to specify UserID and Password"_s);
        return;
    }
    QString error;
    if (!m_account.save(user, password, &error)) {
        m_notify(QMessageBox::Critical, error);
        return;
    }
    accept();
}

void EqslParms::btnClear_Click()
{
    QString error;
    if (!m_account.save({}, {}, &error)) {
        m_notify(QMessageBox::Critical, error);
        return;
    }
    accept();
}
