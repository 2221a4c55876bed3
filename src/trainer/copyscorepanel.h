#pragma once

#include "copyscore.h"

#include <QWidget>

class ProgressPlot;
class QLabel;
class QPushButton;
class QTreeWidget;

// The Monitor tab's scoring: the Score button, the result of the last
// copy with its characters worst first, and the plot of the lesson's
// sessions. Every score is added to the history in the data folder.
class CopyScorePanel : public QWidget
{
    Q_OBJECT
public:
    explicit CopyScorePanel(QWidget *parent = nullptr);

    // The lesson scores are filed under; the plot shows its sessions.
    void setLesson(const QString &name);
    const QString &lesson() const { return m_lesson; }
    // A copy to score: the button waits for one that has not been scored.
    void setCopyReady(bool ready);
    // Scores the copy against what the keyer sent and files the session.
    void score(const QString &monitorText, const QString &copy);

signals:
    void scoreClicked();
    // The session could not be written to the history.
    void historyFailed(const QString &error);

private:
    void showScore(const CopyScore &score);
    void reloadPlot();

    QString m_lesson;
    QPushButton *m_scoreButton;
    QLabel *m_result;
    QTreeWidget *m_characters;
    ProgressPlot *m_plot;
};
