#pragma once

#include <QDialog>

class QLineEdit;

// Defines the smart text of one function key (F2..F12) of the Terminal tab.
class SmartTextDialog : public QDialog
{
    Q_OBJECT
public:
    SmartTextDialog(int key, const QString &text, QWidget *parent = nullptr);

    int fKey() const { return m_fKey; }
    QString text() const;

private:
    int m_fKey;
    QLineEdit *m_text;
};
