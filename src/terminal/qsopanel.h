#pragma once

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QPushButton;

// The "QSO Info" frame: the call of the contact in progress, its country,
// what the keyer knows of it, the report being entered and the operator's
// note for the call.
class QsoPanel : public QGroupBox
{
    Q_OBJECT
public:
    explicit QsoPanel(QWidget *parent = nullptr);

    QString call() const;
    QString info() const;
    void showCall(const QString &call, const QString &country);
    void setInfo(const QString &info);
    // Empties call, country and information.
    void clearContact();
    // "QSO in Log" in red while a stored record is shown, else "QSO Info".
    void setEditCaption(bool editing);

    // Data entry: the report or serial number the keypad keys ask for.
    void startDataEntry(const QString &caption);
    // The entered text; the entry box is hidden again.
    QString finishDataEntry();
    void clearDataEntry();
    bool dataEntryActive() const;
    QLineEdit *dataBox() const { return m_data; }

    // The note of the shown call; the box is shown when there is one.
    void showNote(const QString &note);
    QString note() const;
    QLineEdit *noteBox() const { return m_note; }

signals:
    // The note box lost the focus after an edit.
    void noteEdited(const QString &call, const QString &note);
    void lookupRequested(const QString &call);
    void lookupEditRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPushButton *m_lookup;
    QLabel *m_call;
    QLabel *m_country;
    QLabel *m_info;
    QLabel *m_dataCaption;
    QLineEdit *m_data;
    QPushButton *m_noteButton;
    QLineEdit *m_note;
    QString m_noteShown;
};
