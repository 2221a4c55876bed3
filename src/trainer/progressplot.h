#pragma once

#include "copyhistory.h"

#include <QWidget>

// The error per cent of a lesson's sessions, oldest left, as a line over a
// grid of tens; painted, so that the trainer needs no chart library.
class ProgressPlot : public QWidget
{
    Q_OBJECT
public:
    // The latest sessions that fit the width are shown.
    static constexpr int MostSessions = 40;

    explicit ProgressPlot(QWidget *parent = nullptr);

    void setSessions(const QString &lesson, const QList<CopyHistory::Session> &sessions);
    const QList<CopyHistory::Session> &sessions() const { return m_sessions; }

    QSize sizeHint() const override { return {320, 160}; }
    QSize minimumSizeHint() const override { return {180, 110}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_lesson;
    QList<CopyHistory::Session> m_sessions;
};
