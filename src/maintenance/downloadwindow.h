#pragma once

#include <QDialog>

class QLabel;

// `Download`, the progress window of the update check: on top of the
// other windows, blocking them while the check runs.
class DownloadWindow : public QDialog
{
    Q_OBJECT
public:
    explicit DownloadWindow(QWidget *parent = nullptr);
    void setText(const QString &text);

private:
    QLabel *m_downloadText;
};
