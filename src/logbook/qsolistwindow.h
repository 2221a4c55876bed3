#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class SettingsStore;

// The QSO list: the latest QSOs as list lines, newest first, beside the main
// window while the station operates. It shows lines and reports clicks; what
// a click does to the keyer is the main window's.
class QsoListWindow : public QWidget
{
    Q_OBJECT
public:
    // Where the call sign stands in a list line.
    static constexpr int CallColumnNormal = 34;
    static constexpr int CallColumnContest = 31;
    static constexpr int CallWidth = 13;

    explicit QsoListWindow(SettingsStore *settings, QWidget *parent = nullptr);
    ~QsoListWindow() override;

    // The header of the layout the lines are in.
    void setContestLayout(bool contest);
    void clearList();
    // A line at the very top (Windows-1252 bytes, one per character).
    void prependLine(QByteArrayView line);
    QStringList lines() const;
    void focusList();
    // Shows the window, placed the first time as it was at the last close.
    void open();

signals:
    // A double-click on a line: its call, trimmed, in upper case.
    void callPicked(const QString &call);
    // A click on the window or its header: the operator goes on typing in
    // the main window.
    void focusRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // State, and size and position of a normal window.
    void restorePlacement();
    void savePlacement();
    void pickCall(const QPoint &position);

    SettingsStore *m_settings;
    QLabel *m_header;
    QPlainTextEdit *m_list;
    bool m_contest = false;
    bool m_placed = false;
};
