#pragma once

#include <QObject>

class QWidget;

// Alt + a button's underlined letter clicks the button at once, and the
// focus stays where it was. By default the button takes the focus and
// clicks 100 ms later: the operator's next keys then land on the button
// (a space presses it again), and what was typed in between meets a click
// that, say, clears the send buffer after the first letters went in.
class MnemonicClicks : public QObject
{
public:
    // For the buttons of window (its dialogs keep the default).
    explicit MnemonicClicks(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
};
