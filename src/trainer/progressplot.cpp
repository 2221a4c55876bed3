#include "progressplot.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

using namespace Qt::StringLiterals;

ProgressPlot::ProgressPlot(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"pltProgress"_s);
    setToolTip(tr("Error per cent of each scored copy of this lesson, the latest on the right"));
}

void ProgressPlot::setSessions(const QString &lesson, const QList<CopyHistory::Session> &sessions)
{
    m_lesson = lesson;
    m_sessions = sessions.mid(qMax<qsizetype>(0, sessions.size() - MostSessions));
    update();
}

void ProgressPlot::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().base());
    const QFontMetrics fm = fontMetrics();
    QString title = tr("%1: error %, %2 sessions").arg(m_lesson).arg(m_sessions.size());
    if (m_sessions.isEmpty())
        title = tr("%1: no scores yet").arg(m_lesson);
    else if (m_sessions.size() == 1)
        title = tr("%1: error %, one session").arg(m_lesson);
    p.setPen(palette().color(QPalette::Text));
    p.drawText(QRect(0, 2, width(), fm.height()), Qt::AlignHCenter, title);

    const int left = fm.horizontalAdvance(u"100"_s) + 8;
    const QRect area(left, fm.height() + 8, width() - left - 10, height() - 2 * fm.height() - 12);
    if (area.width() < 20 || area.height() < 20)
        return;
    // Tens of per cent; the scale ends at the next ten above the worst.
    double worst = 10;
    for (const CopyHistory::Session &s : m_sessions)
        worst = qMax(worst, s.errorPercent);
    const double top = qMin(100.0, std::ceil(worst / 10) * 10);
    const auto yOf = [&](double percent) { return area.bottom() - percent / top * area.height(); };
    const QColor grid = palette().color(QPalette::Mid);
    for (int percent = 0; percent <= top; percent += top > 50 ? 20 : 10) {
        p.setPen(QPen(grid, 1, Qt::DotLine));
        p.drawLine(QPointF(area.left(), yOf(percent)), QPointF(area.right(), yOf(percent)));
        p.setPen(palette().color(QPalette::Text));
        p.drawText(QRectF(0, yOf(percent) - fm.height() / 2.0, left - 4, fm.height()), Qt::AlignRight,
                   QString::number(percent));
    }
    p.setPen(palette().color(QPalette::Text));
    p.drawLine(area.bottomLeft(), area.bottomRight());
    if (m_sessions.isEmpty())
        return;

    const qsizetype n = m_sessions.size();
    const auto xOf = [&](qsizetype i) {
        return n == 1 ? area.center().x() : area.left() + double(i) * area.width() / double(n - 1);
    };
    QPainterPath line;
    for (qsizetype i = 0; i < n; ++i) {
        const QPointF at(xOf(i), yOf(m_sessions.at(i).errorPercent));
        i == 0 ? line.moveTo(at) : line.lineTo(at);
    }
    const QColor ink = palette().color(QPalette::Highlight);
    p.setPen(QPen(ink, 2));
    p.drawPath(line);
    p.setBrush(ink);
    for (qsizetype i = 0; i < n; ++i)
        p.drawEllipse(QPointF(xOf(i), yOf(m_sessions.at(i).errorPercent)), 3, 3);
    // The first and the latest session's dates under the axis.
    p.setPen(palette().color(QPalette::Text));
    const QRect dates(area.left(), area.bottom() + 3, area.width(), fm.height());
    p.drawText(dates, Qt::AlignLeft, m_sessions.first().when.toString(u"d MMM"_s));
    if (n > 1)
        p.drawText(dates, Qt::AlignRight, m_sessions.last().when.toString(u"d MMM"_s));
}
