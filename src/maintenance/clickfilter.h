#pragma once

#include <QObject>

#include <functional>

// Makes a label clickable: a mouse release on the watched widget runs the
// handler (the title label's window-on-top toggle, the keyer picture).
class ClickFilter : public QObject
{
public:
    ClickFilter(QObject *parent, std::function<void()> onClick) : QObject(parent), m_onClick(std::move(onClick)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> m_onClick;
};
