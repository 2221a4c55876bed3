#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// Shows the firmware loader's output as it comes, and how it ended.
class FirmwareLoaderWindow : public QDialog
{
    Q_OBJECT
public:
    explicit FirmwareLoaderWindow(QWidget *parent = nullptr);

    void begin(const QStringList &commandLine);
    void append(const QString &text);
    // verified: the loader checked the flash against the image (see
    // FirmwareLoader::verified).
    void end(int exitCode, bool crashed, bool verified);

signals:
    // The operator stops a loader that waits for a keyer that never answers.
    void stopRequested();

private:
    QPushButton *m_stop;
    QLabel *m_state;
    QPlainTextEdit *m_output;
};
