#pragma once

#include <QWidget>

#include "configrecord.h"

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// The Logbook tab: native log files, the ADIF and list exports and the ADIF
// import. It holds the controls and their state; the transfers themselves
// are the main window's, which listens to the signals.
class LogbookTab : public QWidget
{
    Q_OBJECT
public:
    explicit LogbookTab(QWidget *parent = nullptr);

    // "QS&Os:" and the QSO count, for the main window to place where every
    // tab sees it.
    QWidget *qsoCounter() const { return m_qsoCounter; }
    QPushButton *qsoButton() const { return m_qsos; }

    // The keyer's state as the configuration block reports it: the QSO
    // count, the export mark (the start record follows it) and the user.
    void showRecord(const ConfigRecord &record);
    qint16 qsoCount() const { return m_count; }

    // Both file lists from ".\LogFiles" and ".\ADIF", sorted by name, the
    // first entry selected.
    void refreshFileLists();
    QString selectedLogFile() const;
    QString selectedAdifFile() const;
    // A new file at the top of its list, selected.
    void addLogFile(const QString &name);
    void addAdifFile(const QString &name);
    // Takes an entry out of its list and selects the first one left.
    void removeLogFile(const QString &name);
    void removeAdifFile(const QString &name);

    // The saves that stopped half-way and left their records behind.
    void showPartialFiles(const QStringList &names);

    // While a transfer runs, every logbook button rests and only Cancel acts.
    void setTransferRunning(bool running);
    // Without a keyer only the file functions work.
    void setKeyerPresent(bool present);
    bool transferRunning() const { return m_running; }

    QProgressBar *progressBar() const { return m_progress; }
    QLineEdit *startRecordBox() const { return m_adifStart; }
    QLineEdit *cutCountBox() const { return m_cutCount; }

    // The open-file dialog; tests answer it instead. Empty: cancelled.
    using FileChooser = std::function<QString(const QString &title, const QString &folder, const QString &filter)>;
    void setFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }
    QString chooseFile(const QString &title, const QString &folder, const QString &filter);

    bool reverseExport() const;
    bool onlyCurrentUser() const;
    bool reverseImport() const;
    bool user2Import() const;
    bool contestImport() const;

signals:
    // The tab was opened (shown) or left.
    void opened();
    void left();
    void saveLogClicked();
    void restoreLogClicked();
    void appendLogClicked();
    void deleteLogFileClicked();
    void setCountClicked();
    void cancelClicked();
    void saveAdifClicked();
    void saveListClicked();
    void deleteAdifClicked();
    void viewAdifClicked();
    void adifImportClicked();
    void viewImportClicked();
    void qsosClicked();
    // The online services' buttons; the right click asks for their setup.
    void eqslClicked();
    void eqslAccountRequested();
    void lotwClicked();
    void lotwProgramRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QWidget *buildNativeFrame();
    QWidget *buildExportFrame();
    QWidget *buildImportFrame();
    void applyEnabling();

    qint16 m_count = 0;
    bool m_running = false;
    bool m_keyerPresent = true;
    FileChooser m_chooser;

    QComboBox *m_logFiles;
    QPushButton *m_saveLog;
    QPushButton *m_restoreLog;
    QPushButton *m_appendLog;
    QPushButton *m_deleteLogFile;
    QLabel *m_logRecords;
    QLineEdit *m_cutCount;
    QPushButton *m_setCount;
    QProgressBar *m_progress;
    QPushButton *m_cancel;
    QLabel *m_partialFiles;

    QLineEdit *m_adifStart;
    QCheckBox *m_reverseExport;
    QCheckBox *m_adifCurrent;
    QLabel *m_currentUser;
    QPushButton *m_saveAdif;
    QPushButton *m_saveList;
    QComboBox *m_adifFiles;
    QPushButton *m_deleteAdif;
    QPushButton *m_editAdif;

    QCheckBox *m_reverseImport;
    QCheckBox *m_user2Import;
    QCheckBox *m_contestImport;
    QPushButton *m_adifImport;
    QPushButton *m_editImport;

    QWidget *m_qsoCounter;
    QPushButton *m_qsos;
    QLabel *m_qsoCount;
};
