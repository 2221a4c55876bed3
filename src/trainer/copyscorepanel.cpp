#include "copyscorepanel.h"

#include "copyhistory.h"
#include "progressplot.h"
#include "trainereventstream.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

enum Column { CharacterColumn, SentColumn, MissedColumn, WrongColumn, PercentColumn, ColumnCount };

} // namespace

CopyScorePanel::CopyScorePanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"fraCopyScore"_s);
    m_scoreButton = new QPushButton(tr("Sc&ore"));
    m_scoreButton->setObjectName(u"btnScoreCopy"_s);
    m_scoreButton->setToolTip(tr("Compare the copy with what the keyer sent and keep the score"));
    m_scoreButton->setFocusPolicy(Qt::NoFocus);
    m_scoreButton->setEnabled(false);
    connect(m_scoreButton, &QPushButton::clicked, this, &CopyScorePanel::scoreClicked);
    m_result = new QLabel(tr("Write down what you hear, then press Score."));
    m_result->setObjectName(u"lblCopyScore"_s);
    m_result->setWordWrap(true);

    m_characters = new QTreeWidget;
    m_characters->setObjectName(u"lstCopyCharacters"_s);
    m_characters->setRootIsDecorated(false);
    m_characters->setColumnCount(ColumnCount);
    m_characters->setHeaderLabels({tr("Char"), tr("Sent"), tr("Missed"), tr("Wrong"), tr("Err %")});
    m_characters->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_characters->header()->setStretchLastSection(false);
    m_characters->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_characters->setToolTip(tr("Each character sent, the most often missed or wrong first"));
    m_plot = new ProgressPlot;

    auto *top = new QHBoxLayout;
    top->addWidget(m_scoreButton);
    top->addWidget(m_result, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_characters, 1);
    bottom->addWidget(m_plot, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addLayout(bottom, 1);
}

void CopyScorePanel::setLesson(const QString &name)
{
    m_lesson = name;
    reloadPlot();
}

void CopyScorePanel::setCopyReady(bool ready)
{
    m_scoreButton->setEnabled(ready);
}

void CopyScorePanel::score(const QString &monitorText, const QString &copy)
{
    const CopyScore result = CopyScore::score(monitorText, copy);
    if (result.sentCount() == 0) {
        m_result->setText(tr("Nothing the keyer sent is in the monitor to score the copy against."));
        return;
    }
    showScore(result);
    m_scoreButton->setEnabled(false);
    const CopyHistory::Session session{QDateTime::currentDateTime(), m_lesson, result.sentCount(), result.errors(),
                                       result.errorPercent()};
    if (const QString error = CopyHistory::append(CopyHistory::fileName(), session); !error.isEmpty())
        emit historyFailed(error);
    reloadPlot();
}

void CopyScorePanel::showScore(const CopyScore &score)
{
    QString text = tr("%1: %2 % errors in %3 characters (%4 wrong, %5 missed, %6 extra)")
                       .arg(m_lesson)
                       .arg(score.errorPercent(), 0, 'f', 1)
                       .arg(score.sentCount())
                       .arg(score.wrong())
                       .arg(score.missed())
                       .arg(score.extra());
    if (score.sentCount() == CopyScore::MostCharacters)
        text += tr("; the first %1 characters were scored").arg(CopyScore::MostCharacters);
    m_result->setText(text);
    m_characters->clear();
    for (const CopyScore::CharacterScore &c : score.worstFirst()) {
        auto *item = new QTreeWidgetItem(m_characters);
        item->setText(CharacterColumn, TrainerEventStream::displayText(c.character, false));
        item->setText(SentColumn, QString::number(c.sent));
        item->setText(MissedColumn, QString::number(c.missed));
        item->setText(WrongColumn, QString::number(c.wrong));
        item->setText(PercentColumn, QString::number(c.errorPercent(), 'f', 0));
        for (int column = SentColumn; column < ColumnCount; ++column)
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
}

void CopyScorePanel::reloadPlot()
{
    m_plot->setSessions(m_lesson, CopyHistory::ofLesson(CopyHistory::read(CopyHistory::fileName()), m_lesson));
}
