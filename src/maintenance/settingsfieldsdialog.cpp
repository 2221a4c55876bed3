#include "settingsfieldsdialog.h"

#include "settingsstore.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSslCertificate>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

SettingsFieldsDialog::SettingsFieldsDialog(SettingsStore *settings, const QString &title, const QList<Field> &fields,
                                           QWidget *parent)
    : QDialog(parent), m_settings(settings), m_fields(fields)
{
    setWindowTitle(title);
    auto *form = new QFormLayout;
    for (const Field &field : fields) {
        auto *edit = new QLineEdit(m_settings->setting(field.key, {}));
        edit->setObjectName(u"txt"_s + field.key);
        edit->setPlaceholderText(field.placeholder);
        edit->setToolTip(tr("Setting %1").arg(field.key));
        edit->setMinimumWidth(320);
        m_edits << edit;
        if (field.kind != Kind::CertificateFile) {
            form->addRow(field.label, edit);
            continue;
        }
        auto *browse = new QToolButton;
        browse->setText(u"\u2026"_s);
        browse->setToolTip(tr("Choose a PEM file"));
        connect(browse, &QToolButton::clicked, this, [this, edit] {
            const QString file = QFileDialog::getOpenFileName(this, windowTitle(), edit->text(),
                                                              tr("Certificates (*.pem *.crt);;All files (*)"));
            if (!file.isEmpty())
                edit->setText(file);
        });
        auto *row = new QHBoxLayout;
        row->addWidget(edit, 1);
        row->addWidget(browse);
        form->addRow(field.label, row);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsFieldsDialog::save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QString SettingsFieldsDialog::problem(Kind kind, const QString &text)
{
    const QString value = text.trimmed();
    if (value.isEmpty())
        return {};
    switch (kind) {
    case Kind::HttpsAddress: {
        const QUrl url(value, QUrl::StrictMode);
        if (!url.isValid() || url.scheme() != u"https"_s || url.host().isEmpty())
            return tr("%1 is no https:// address.").arg(value);
        return {};
    }
    case Kind::CertificateFile:
        if (QSslCertificate::fromPath(value).isEmpty())
            return tr("%1 holds no certificate (a PEM file is needed).").arg(value);
        return {};
    case Kind::HostAddress:
        if (QHostAddress(value).isNull())
            return tr("%1 is no IP address of this computer (such as 127.0.0.1).").arg(value);
        return {};
    case Kind::Port: {
        bool ok = false;
        const int port = value.toInt(&ok);
        if (!ok || port < 1 || port > 65535)
            return tr("%1 is no port (1 to 65535).").arg(value);
        return {};
    }
    }
    return {};
}

void SettingsFieldsDialog::save()
{
    // Nothing is stored unless every field holds a value it can take.
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        if (const QString why = problem(m_fields.at(i).kind, m_edits.at(i)->text()); !why.isEmpty()) {
            QMessageBox::warning(this, windowTitle(), why);
            m_edits.at(i)->setFocus();
            return;
        }
    }
    // An empty field goes back to what empty means, the setting's default.
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        const QString value = m_edits.at(i)->text().trimmed();
        if (value.isEmpty())
            m_settings->remove(u"Settings"_s, m_fields.at(i).key);
        else
            m_settings->setSetting(m_fields.at(i).key, value);
    }
    if (!m_settings->sync()) {
        QMessageBox::warning(this, windowTitle(),
                             tr("The settings file %1 could not be written; the values hold until the program ends.")
                                 .arg(m_settings->fileName()));
    }
    accept();
}
