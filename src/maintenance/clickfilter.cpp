#include "clickfilter.h"

#include <QEvent>

bool ClickFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        m_onClick();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
