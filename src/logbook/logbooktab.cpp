#include "logbooktab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString FileListTip = u"Available log files show timestamp YYMMDDHHMMSS"_s;

QPushButton *button(const QString &name, const QString &caption, const QString &tip)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(name);
    b->setToolTip(tip);
    return b;
}

QCheckBox *checkBox(const QString &name, const QString &caption, const QString &tip)
{
    auto *c = new QCheckBox(caption);
    c->setObjectName(name);
    c->setToolTip(tip);
    return c;
}

// Names in ascending order: what an exchange sort of the list gives.
QStringList sortedNames(QStringList names)
{
    std::sort(names.begin(), names.end());
    return names;
}

void fill(QComboBox *box, const QStringList &names)
{
    box->clear();
    box->addItems(names);
    if (!names.isEmpty())
        box->setCurrentIndex(0);
}

void addOnTop(QComboBox *box, const QString &name)
{
    const int existing = box->findText(name);
    if (existing >= 0)
        box->removeItem(existing);
    box->insertItem(0, name);
    box->setCurrentIndex(0);
}

void removeEntry(QComboBox *box, const QString &name)
{
    const int index = box->findText(name);
    if (index >= 0)
        box->removeItem(index);
    box->setCurrentIndex(box->count() > 0 ? 0 : -1);
}

} // namespace

LogbookTab::LogbookTab(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"fraLogbookFrame"_s);

    auto *frames = new QHBoxLayout;
    frames->addWidget(buildNativeFrame(), 1);
    frames->addWidget(buildExportFrame(), 1);
    frames->addWidget(buildImportFrame(), 1);

    m_progress = new QProgressBar;
    m_progress->setObjectName(u"ctlLogProgressBar"_s);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_cancel = button(u"btnCancel"_s, u"&Cancel"_s, u"Cancel data transfer operation"_s);
    auto *progressRow = new QHBoxLayout;
    progressRow->addWidget(m_progress, 1);
    progressRow->addWidget(m_cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(frames);
    layout->addLayout(progressRow);
    layout->addStretch(1);

    m_qsoCounter = new QWidget(this);
    m_qsoCounter->setObjectName(u"fraQSOCounter"_s);
    m_qsos = button(u"btnQSOs"_s, u"QS&Os:"_s, u"Show real-time QSO list"_s);
    m_qsoCount = new QLabel(u"0"_s);
    m_qsoCount->setObjectName(u"lblQSOCount"_s);
    m_qsoCount->setMinimumWidth(m_qsoCount->fontMetrics().horizontalAdvance(u"000000"_s));
    auto *counter = new QHBoxLayout(m_qsoCounter);
    counter->setContentsMargins(0, 0, 0, 0);
    counter->addWidget(m_qsos);
    counter->addWidget(m_qsoCount);

    connect(m_saveLog, &QPushButton::clicked, this, &LogbookTab::saveLogClicked);
    connect(m_restoreLog, &QPushButton::clicked, this, &LogbookTab::restoreLogClicked);
    connect(m_appendLog, &QPushButton::clicked, this, &LogbookTab::appendLogClicked);
    connect(m_deleteLogFile, &QPushButton::clicked, this, &LogbookTab::deleteLogFileClicked);
    connect(m_setCount, &QPushButton::clicked, this, &LogbookTab::setCountClicked);
    connect(m_cancel, &QPushButton::clicked, this, &LogbookTab::cancelClicked);
    connect(m_saveAdif, &QPushButton::clicked, this, &LogbookTab::saveAdifClicked);
    connect(m_saveList, &QPushButton::clicked, this, &LogbookTab::saveListClicked);
    connect(m_deleteAdif, &QPushButton::clicked, this, &LogbookTab::deleteAdifClicked);
    connect(m_editAdif, &QPushButton::clicked, this, &LogbookTab::viewAdifClicked);
    connect(m_adifImport, &QPushButton::clicked, this, &LogbookTab::adifImportClicked);
    connect(m_editImport, &QPushButton::clicked, this, &LogbookTab::viewImportClicked);
    connect(m_qsos, &QPushButton::clicked, this, &LogbookTab::qsosClicked);
    applyEnabling();
}

QWidget *LogbookTab::buildNativeFrame()
{
    auto *frame = new QGroupBox(u"Native Log Files"_s);
    frame->setObjectName(u"fraNativeLogFiles"_s);
    m_logFiles = new QComboBox;
    m_logFiles->setObjectName(u"cboLogFiles"_s);
    m_logFiles->setToolTip(FileListTip);
    m_saveLog = button(u"btnSaveLog"_s, u"&Save Log"_s, u"Save keyer log to KRV log file"_s);
    m_restoreLog = button(u"btnRestoreLog"_s, u"&Restore Log"_s, u"Restore keyer log from selected log file"_s);
    m_appendLog = button(u"btnAppendLog"_s, u"Append &to Log"_s, u"Append records from the file to the end of the log"_s);
    m_deleteLogFile = button(u"btnDeleteLogfile"_s, u"&Delete File"_s, u"Delete selected log file"_s);
    m_logRecords = new QLabel(u"0"_s);
    m_logRecords->setObjectName(u"lblLogRecords"_s);
    m_cutCount = new QLineEdit(u"0"_s);
    m_cutCount->setObjectName(u"txtCutCount"_s);
    m_cutCount->setToolTip(u"Number of records to cut from end of log"_s);
    m_cutCount->setMaximumWidth(m_cutCount->fontMetrics().horizontalAdvance(u"0000000000"_s));
    m_setCount = button(u"btnSetCount"_s, u"Set QSO C&ount"_s, u"Set QSO count to a number 0 - 12000"_s);

    auto *grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(u"Records in keyer:"_s), 0, 0);
    grid->addWidget(m_logRecords, 0, 1);
    grid->addWidget(m_saveLog, 1, 0, 1, 2);
    grid->addWidget(m_logFiles, 2, 0, 1, 2);
    grid->addWidget(m_restoreLog, 3, 0);
    grid->addWidget(m_appendLog, 3, 1);
    grid->addWidget(m_deleteLogFile, 4, 0, 1, 2);
    grid->addWidget(m_cutCount, 5, 0);
    grid->addWidget(m_setCount, 5, 1);
    m_partialFiles = new QLabel;
    m_partialFiles->setObjectName(u"lblPartialFiles"_s);
    m_partialFiles->setWordWrap(true);
    m_partialFiles->hide();
    grid->addWidget(m_partialFiles, 6, 0, 1, 2);
    grid->setRowStretch(7, 1);
    return frame;
}

QWidget *LogbookTab::buildExportFrame()
{
    auto *frame = new QGroupBox(u"Native to ADIF / List Conversion"_s);
    frame->setObjectName(u"fraADIFExport"_s);
    m_adifStart = new QLineEdit(u"1"_s);
    m_adifStart->setObjectName(u"txtADIFStart"_s);
    m_adifStart->setToolTip(u"Start record for ADIF or List export"_s);
    m_adifStart->setMaximumWidth(m_adifStart->fontMetrics().horizontalAdvance(u"0000000000"_s));
    m_reverseExport = checkBox(u"cbxReverseExport"_s, u"Reverse Order"_s,
                               u"Put latest QSO's at the top of the list or ADIF file"_s);
    m_adifCurrent = checkBox(u"cbxADIFCurrent"_s, u"Only"_s, u"Use log entries from current user only"_s);
    m_currentUser = new QLabel(u"1"_s);
    m_currentUser->setObjectName(u"lblCurrentUser"_s);
    m_saveAdif = button(u"btnSaveADIF"_s, u"Save as &ADIF"_s, u"Save keyer log in ADIF format"_s);
    m_saveList = button(u"btnSaveList"_s, u"Save as &List"_s, u"Save keyer log in list format"_s);
    m_adifFiles = new QComboBox;
    m_adifFiles->setObjectName(u"cboADIFFiles"_s);
    m_adifFiles->setToolTip(FileListTip);
    m_deleteAdif = button(u"btnDeleteADIF"_s, u"D&elete"_s, u"Delete selected ADIF or list file"_s);
    m_editAdif = button(u"btnEditADIF"_s, u"&View"_s, u"View/Edit the ADIF or list file"_s);

    auto *user = new QHBoxLayout;
    user->addWidget(m_adifCurrent);
    user->addWidget(new QLabel(u"User"_s));
    user->addWidget(m_currentUser);
    user->addStretch(1);
    auto *grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(u"Start Record:"_s), 0, 0);
    grid->addWidget(m_adifStart, 0, 1);
    grid->addWidget(m_reverseExport, 1, 0, 1, 2);
    grid->addLayout(user, 2, 0, 1, 2);
    grid->addWidget(m_saveAdif, 3, 0);
    grid->addWidget(m_saveList, 3, 1);
    grid->addWidget(m_adifFiles, 4, 0, 1, 2);
    grid->addWidget(m_deleteAdif, 5, 0);
    grid->addWidget(m_editAdif, 5, 1);
    // The online services take the selected file; a right click sets them up.
    auto *eqsl = button(u"btneQSL"_s, u"e&QSL"_s, u"Send ADIF file to eQSL"_s);
    auto *lotw = button(u"btnLotW"_s, u"Lot&W"_s, u"Sign and send ADIF file to LotW"_s);
    for (QPushButton *b : {eqsl, lotw})
        b->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(eqsl, &QPushButton::clicked, this, &LogbookTab::eqslClicked);
    connect(eqsl, &QPushButton::customContextMenuRequested, this, &LogbookTab::eqslAccountRequested);
    connect(lotw, &QPushButton::clicked, this, &LogbookTab::lotwClicked);
    connect(lotw, &QPushButton::customContextMenuRequested, this, &LogbookTab::lotwProgramRequested);
    grid->addWidget(eqsl, 6, 0);
    grid->addWidget(lotw, 6, 1);
    grid->setRowStretch(7, 1);
    return frame;
}

QWidget *LogbookTab::buildImportFrame()
{
    auto *frame = new QGroupBox(u"ADIF to Native Conversion"_s);
    frame->setObjectName(u"fraADIFImport"_s);
    m_reverseImport = checkBox(u"cbxReverseImport"_s, u"Reverse Order"_s,
                               u"Reverse sequence of log records before importing"_s);
    m_user2Import = checkBox(u"cbxUser2Import"_s, u"Default User 2"_s,
                             u"All unidentifyable records are assigned to User 2"_s);
    m_contestImport = checkBox(u"cbxContestImport"_s, u"Contest"_s, u"All records are treated as contest records"_s);
    m_adifImport = button(u"btnADIFImport"_s, u"Convert to &Native"_s, u"Convert ADIF file to native KRV format"_s);
    m_editImport = button(u"btnEditImport"_s, u"View ADIF &File"_s, u"View/Edit ADIF files before conversion"_s);

    auto *column = new QVBoxLayout(frame);
    column->addWidget(m_reverseImport);
    column->addWidget(m_user2Import);
    column->addWidget(m_contestImport);
    column->addWidget(m_adifImport);
    column->addWidget(m_editImport);
    column->addStretch(1);
    return frame;
}

void LogbookTab::showRecord(const ConfigRecord &record)
{
    m_count = record.qsoCount;
    m_logRecords->setText(QString::number(record.qsoCount));
    m_qsoCount->setText(QString::number(record.qsoCount));
    m_adifStart->setText(QString::number(record.lastExported + 1));
    m_currentUser->setText(record.optionWord & Option::User2 ? u"2"_s : u"1"_s);
    applyEnabling();
}

void LogbookTab::refreshFileLists()
{
    fill(m_logFiles, sortedNames(QDir(u"LogFiles"_s).entryList({u"*.krv"_s}, QDir::Files)));
    QStringList exports;
    for (const QString &name : QDir(u"ADIF"_s).entryList(QDir::Files)) {
        const QString tail = name.right(3).toLower();
        if (tail == u"adi" || tail == u"txt")
            exports.append(name);
    }
    fill(m_adifFiles, sortedNames(exports));
}

QString LogbookTab::selectedLogFile() const
{
    return m_logFiles->currentText();
}

QString LogbookTab::selectedAdifFile() const
{
    return m_adifFiles->currentText();
}

void LogbookTab::addLogFile(const QString &name)
{
    addOnTop(m_logFiles, name);
}

void LogbookTab::addAdifFile(const QString &name)
{
    addOnTop(m_adifFiles, name);
}

void LogbookTab::removeLogFile(const QString &name)
{
    removeEntry(m_logFiles, name);
}

void LogbookTab::removeAdifFile(const QString &name)
{
    removeEntry(m_adifFiles, name);
}

void LogbookTab::showPartialFiles(const QStringList &names)
{
    m_partialFiles->setVisible(!names.isEmpty());
    m_partialFiles->setText(tr("Incomplete saves in LogFiles (not offered for restoring): %1").arg(names.join(u", "_s)));
    m_partialFiles->setToolTip(tr("What a Save Log that stopped half-way received; delete them when you no longer need them"));
}

void LogbookTab::setTransferRunning(bool running)
{
    m_running = running;
    applyEnabling();
}

void LogbookTab::setKeyerPresent(bool present)
{
    m_keyerPresent = present;
    applyEnabling();
}

void LogbookTab::applyEnabling()
{
    const bool idle = !m_running;
    for (QPushButton *b : {m_deleteLogFile, m_deleteAdif, m_editAdif, m_adifImport, m_editImport})
        b->setEnabled(idle);
    for (QPushButton *b : {m_restoreLog, m_appendLog, m_setCount})
        b->setEnabled(idle && m_keyerPresent);
    // The online services' buttons rest with the others when they are there.
    for (const char *name : {"btnLotW", "btneQSL"}) {
        if (auto *b = findChild<QPushButton *>(QString::fromLatin1(name)))
            b->setEnabled(idle);
    }
    // Nothing to read out of an empty log.
    for (QPushButton *b : {m_saveLog, m_saveAdif, m_saveList})
        b->setEnabled(idle && m_keyerPresent && m_count != 0);
    m_cancel->setEnabled(m_running);
}

QString LogbookTab::chooseFile(const QString &title, const QString &folder, const QString &filter)
{
    if (m_chooser)
        return m_chooser(title, folder, filter);
    return QFileDialog::getOpenFileName(this, title, folder, filter);
}

bool LogbookTab::reverseExport() const
{
    return m_reverseExport->isChecked();
}

bool LogbookTab::onlyCurrentUser() const
{
    return m_adifCurrent->isChecked();
}

bool LogbookTab::reverseImport() const
{
    return m_reverseImport->isChecked();
}

bool LogbookTab::user2Import() const
{
    return m_user2Import->isChecked();
}

bool LogbookTab::contestImport() const
{
    return m_contestImport->isChecked();
}

void LogbookTab::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    emit opened();
}

void LogbookTab::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    emit left();
}
