#include "smarttextdialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

SmartTextDialog::SmartTextDialog(int key, const QString &text, QWidget *parent) : QDialog(parent), m_fKey(key)
{
    setObjectName(u"SmartText"_s);
    setWindowTitle(u"Smart Text for F"_s + QString::number(key));

    m_text = new QLineEdit(text);
    m_text->setObjectName(u"txtText"_s);
    m_text->setMinimumWidth(m_text->fontMetrics().horizontalAdvance(QString(48, u'M')));
    auto *codes = new QLabel(tr("\\C his call, \\N his name (else OM), \\I my call, \\M my name"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(u"btnOK"_s);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(u"btnCancel"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(codes);
    layout->addWidget(buttons);
}

QString SmartTextDialog::text() const
{
    return m_text->text();
}
