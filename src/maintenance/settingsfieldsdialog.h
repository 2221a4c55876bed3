#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QLineEdit;
class SettingsStore;

// A few settings of one kind in one small window (the download server and
// its certificates, the eQSL address, the logger-keying address and port),
// each checked before anything is stored: an address must be https, a
// certificate file must hold certificates, a port must be a port.
class SettingsFieldsDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Kind { HttpsAddress, CertificateFile, HostAddress, Port };
    struct Field
    {
        QString key;     // in section "Settings"
        QString label;
        Kind kind;
        QString placeholder; // what empty means
    };

    SettingsFieldsDialog(SettingsStore *settings, const QString &title, const QList<Field> &fields,
                         QWidget *parent = nullptr);

    // Why the text is no value for a field of that kind; empty when it is.
    static QString problem(Kind kind, const QString &text);

private:
    void save();

    SettingsStore *m_settings;
    QList<Field> m_fields;
    QList<QLineEdit *> m_edits;
};
