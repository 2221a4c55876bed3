#pragma once

#include "charactergrid.h"

#include <QMessageBox>
#include <QWidget>

#include <functional>

class RandomSource;
class SettingsStore;
class QButtonGroup;
class QComboBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

// The trainer's Messages tab: the random text generator that writes
// practice texts into the message store (groups of the picked characters,
// a word or phrase list, a Koch lesson, call signs), the message buttons
// (use a text file, edit, delete), and Load Lessons with its progress bar.
// The load itself talks to the keyer and is the main window's.
class TrainerMessagesTab : public QWidget
{
    Q_OBJECT
public:
    using MessageFunction = std::function<QMessageBox::StandardButton(
        QMessageBox::Icon, const QString &, QMessageBox::StandardButtons, QMessageBox::StandardButton)>;
    // A file chooser: title, start folder, filter; empty when cancelled.
    using FileChooser = std::function<QString(const QString &, const QString &, const QString &)>;
    // Opens a file with the desktop's editor; false when nothing opened it.
    using Opener = std::function<bool(const QString &)>;

    // optMethod's ids.
    enum Method { Groups, WordList, KochLesson, CallSigns };

    TrainerMessagesTab(RandomSource *random, MessageFunction message, QWidget *parent = nullptr);

    // The method, the Koch lesson and the word source come back from the
    // last run and are remembered when changed.
    void attachSettings(SettingsStore *settings);
    // What the copy of the chosen material is scored under ("Koch 3").
    QString lessonName() const;

    void setFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }
    void setOpener(Opener opener) { m_opener = std::move(opener); }

    // The message cboGenLesson and cboGenMessage name, 0-99.
    int selectedMessage() const;
    const CharacterGrid &grid() const { return m_grid; }

    // While a load runs: the four message buttons rest, Cancel shows.
    void setLoading(bool loading);
    QProgressBar *progressBar() const { return m_progress; }

    void btnCreateMessage_Click();
    void btnEditMessage_Click();
    void btnEditWList_Click();
    void btnUseFile_Click();
    void btnDeleteMessage_Click();

signals:
    void lessonChanged(const QString &name);
    void loadLessonsClicked();
    void cancelClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildGenerator();
    QWidget *buildMessageButtons();
    QLayout *buildMethods();
    void selectionChanged();
    // The text of the chosen method; false after a message to the operator.
    bool generate(int wordCount, int repeat, QByteArray *text);
    bool readWords(QList<QByteArray> *words);
    // Writes a new message after the capacity check; false when not written.
    bool store(const QString &path, const QByteArray &text, bool askReplace = true);
    void press(CharacterGrid::Set set);
    void paintCell(int index);
    // Opens a message or the word list; offers to create it when missing.
    void showFile(const QString &path, bool createSilently);
    QMessageBox::StandardButton message(QMessageBox::Icon icon, const QString &text,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    RandomSource *m_random;
    MessageFunction m_message;
    FileChooser m_chooser;
    Opener m_opener;
    CharacterGrid m_grid;
    QList<QPushButton *> m_cells; // the control array `Character`
    QButtonGroup *m_method;
    QLineEdit *m_wordCount;
    QComboBox *m_wordLength;
    QComboBox *m_wordSource;
    QComboBox *m_kochLesson;
    SettingsStore *m_settings = nullptr;
    QLineEdit *m_repeatCount;
    QComboBox *m_lesson;
    QComboBox *m_messageDigit;
    QList<QPushButton *> m_messageButtons;
    QPushButton *m_cancel;
    QProgressBar *m_progress;
};
