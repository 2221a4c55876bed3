#include "qsopanel.h"

#include "callnotes.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

QsoPanel::QsoPanel(QWidget *parent) : QGroupBox(u"QSO Info"_s, parent)
{
    setObjectName(u"frmQSO"_s);

    m_lookup = new QPushButton(tr("&Call:"));
    m_lookup->setObjectName(u"btnLookup"_s);
    m_lookup->setToolTip(u"Callsign lookup"_s);
    m_lookup->setFlat(true);
    // A right click edits what the look-up opens.
    m_lookup->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_lookup, &QPushButton::customContextMenuRequested, this, &QsoPanel::lookupEditRequested);

    m_call = new QLabel;
    m_call->setObjectName(u"lblCall"_s);
    QFont callFont = m_call->font();
    callFont.setPointSizeF(callFont.pointSizeF() * 1.6);
    callFont.setBold(true);
    m_call->setFont(callFont);
    m_call->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_country = new QLabel;
    m_country->setObjectName(u"lblCountry"_s);
    m_info = new QLabel;
    m_info->setObjectName(u"lblQSOInfo"_s);
    m_info->setWordWrap(true);
    m_info->setMinimumHeight(m_info->fontMetrics().lineSpacing() * 3);
    m_info->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_dataCaption = new QLabel;
    m_dataCaption->setObjectName(u"lblData"_s);
    m_data = new QLineEdit;
    m_data->setObjectName(u"txtData"_s);
    m_data->setToolTip(u"Finish data entry with the Enter key"_s);
    m_data->setMaxLength(12);
    m_dataCaption->setBuddy(m_data);

    m_noteButton = new QPushButton(tr("Note"));
    m_noteButton->setObjectName(u"btnNote"_s);
    m_noteButton->setToolTip(u"Attach a note to this call"_s);
    m_note = new QLineEdit;
    m_note->setObjectName(u"txtNote"_s);
    m_note->setMaxLength(CallNotes::NoteLength);
    m_note->installEventFilter(this);

    auto *grid = new QGridLayout(this);
    grid->addWidget(m_lookup, 0, 0);
    grid->addWidget(m_call, 0, 1);
    grid->addWidget(m_country, 1, 0, 1, 2);
    grid->addWidget(m_info, 2, 0, 1, 2);
    grid->addWidget(m_dataCaption, 3, 0);
    grid->addWidget(m_data, 3, 1);
    grid->addWidget(m_noteButton, 4, 0);
    grid->addWidget(m_note, 4, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);

    m_dataCaption->hide();
    m_data->hide();
    m_note->hide();
    m_noteButton->setEnabled(false);

    connect(m_noteButton, &QPushButton::clicked, this, [this] {
        m_note->show();
        m_note->setFocus();
    });
    connect(m_lookup, &QPushButton::clicked, this, [this] { emit lookupRequested(call()); });
}

QString QsoPanel::call() const
{
    return m_call->text();
}

QString QsoPanel::info() const
{
    return m_info->text();
}

void QsoPanel::showCall(const QString &call, const QString &country)
{
    m_call->setText(call);
    m_country->setText(country);
    m_noteButton->setEnabled(!call.trimmed().isEmpty());
}

void QsoPanel::setInfo(const QString &info)
{
    m_info->setText(info);
}

void QsoPanel::clearContact()
{
    showCall({}, {});
    m_info->clear();
    showNote({});
}

void QsoPanel::setEditCaption(bool editing)
{
    setTitle(editing ? u"QSO in Log"_s : u"QSO Info"_s);
    setStyleSheet(editing ? u"QGroupBox#frmQSO { color: red; }"_s : QString());
}

void QsoPanel::startDataEntry(const QString &caption)
{
    m_dataCaption->setText(caption);
    m_data->clear();
    m_dataCaption->show();
    m_data->show();
    m_data->setFocus();
}

QString QsoPanel::finishDataEntry()
{
    const QString text = m_data->text().trimmed();
    m_dataCaption->hide();
    m_data->hide();
    m_data->clear();
    return text;
}

void QsoPanel::clearDataEntry()
{
    m_data->clear();
}

bool QsoPanel::dataEntryActive() const
{
    return !m_data->isHidden();
}

void QsoPanel::showNote(const QString &note)
{
    m_noteShown = note;
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
}

QString QsoPanel::note() const
{
    return m_note->text();
}

bool QsoPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_note && event->type() == QEvent::FocusOut && m_note->text() != m_noteShown) {
        m_noteShown = m_note->text();
        emit noteEdited(call(), m_noteShown);
    }
    return QGroupBox::eventFilter(watched, event);
}
