#include "trainermessagestab.h"

#include "callsigngenerator.h"
#include "desktopopen.h"
#include "keyererror.h"
#include "keyertext.h"
#include "kochcourse.h"
#include "lessongenerator.h"
#include "messageload.h"
#include "messagestore.h"
#include "randomsource.h"
#include "settingsstore.h"
#include "shippeddata.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int GridColumns = 17;
constexpr int RandomLengthPosition = 7;

// The lists a word-list message draws from: the operator's own, then the
// shipped ones (phrases are drawn whole, a line each).
struct WordSource
{
    const char16_t *caption;
    const char16_t *file;
    bool phrases;
    const char16_t *scoreName;
};
constexpr WordSource WordSources[] = {
    {u"My word list (wordlist.txt)", nullptr, false, u"Word list"},
    {u"CW abbreviations and Q codes", u"cwabbreviations.txt", false, u"Abbreviations"},
    {u"QSO phrases", u"qsophrases.txt", true, u"QSO phrases"},
};
const QString CountriesFile = u"countries.txt"_s;

} // namespace

TrainerMessagesTab::TrainerMessagesTab(RandomSource *random, MessageFunction message, QWidget *parent)
    : QWidget(parent), m_random(random), m_message(std::move(message))
{
    setObjectName(u"fraMessagesFrame"_s);
    m_chooser = [this](const QString &title, const QString &folder, const QString &filter) {
        return QFileDialog::getOpenFileName(this, title, folder, filter);
    };
    m_opener = [](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildGenerator());
    layout->addWidget(buildMessageButtons());
    layout->addStretch();
}

QWidget *TrainerMessagesTab::buildGenerator()
{
    auto *panel = new QGroupBox(tr("Random Text Generator"));
    panel->setObjectName(u"fraGenerator"_s);

    auto *cells = new QGridLayout;
    cells->setSpacing(2);
    for (int i = 0; i < CharacterGrid::CellCount; ++i) {
        const CharacterGrid::Cell &cell = CharacterGrid::cell(i);
        auto *b = new QPushButton(cell.label);
        b->setObjectName(u"Character%1"_s.arg(i));
        b->setToolTip(cell.toolTip);
        b->setFixedSize(30, 26);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoFillBackground(true);
        connect(b, &QPushButton::clicked, this, [this, i] {
            m_grid.toggle(i);
            paintCell(i);
        });
        m_cells.append(b);
        cells->addWidget(b, i / GridColumns, i % GridColumns);
        paintCell(i);
    }

    struct SetButton
    {
        const char16_t *name;
        const char16_t *caption;
        const char16_t *tip;
        CharacterGrid::Set set;
    };
    static constexpr SetButton setButtons[] = {
        {u"btnGenAll", u"All", u"Use all defined characters for random group generation", CharacterGrid::Set::All},
        {u"btnGenNone", u"None", u"Deselect all characters for random group generation", CharacterGrid::Set::None},
        {u"btnGenCommon", u"Common Chars", u"Use most common characters for random group generation",
         CharacterGrid::Set::Common},
        {u"btnGenLetters", u"Letters", u"Use all letters for random group generation", CharacterGrid::Set::Letters},
        {u"btnGenNumbers", u"Numbers", u"Use all numbers for random group generation", CharacterGrid::Set::Numbers},
        {u"btnGenPunct", u"Punctuation", u"Use all punctuation signs for random group generation",
         CharacterGrid::Set::Punctuation},
        {u"btnGenProsigns", u"Prosigns", u"Use all Morse prosigns for random group generation",
         CharacterGrid::Set::Prosigns},
        {u"btnGenSpecials", u"Special Chars", u"Use all special characters for random group generation",
         CharacterGrid::Set::Specials},
    };
    auto *sets = new QHBoxLayout;
    for (const SetButton &s : setButtons) {
        auto *b = new QPushButton(QString::fromUtf16(s.caption));
        b->setObjectName(QString::fromUtf16(s.name));
        b->setToolTip(QString::fromUtf16(s.tip));
        const CharacterGrid::Set set = s.set;
        connect(b, &QPushButton::clicked, this, [this, set] { press(set); });
        sets->addWidget(b);
    }
    sets->addStretch();

    m_wordCount = new QLineEdit(u"50"_s);
    m_wordCount->setObjectName(u"WordCount"_s);
    m_wordCount->setToolTip(u"Number of words to be generated 50 ... 20000"_s);
    m_wordCount->setMaximumWidth(70);
    m_wordLength = new QComboBox;
    m_wordLength->setObjectName(u"cboWordLength"_s);
    m_wordLength->addItems({u" 2"_s, u" 3"_s, u" 4"_s, u" 5"_s, u" 6"_s, u" 7"_s, u" 8"_s, u"Random"_s});
    m_wordLength->setCurrentText(u" 5"_s);
    m_repeatCount = new QLineEdit(u"1"_s);
    m_repeatCount->setObjectName(u"RepeatCount"_s);
    m_repeatCount->setToolTip(u"Repeat every word 1-9 times"_s);
    m_repeatCount->setMaximumWidth(40);
    m_repeatCount->installEventFilter(this);
    m_lesson = new QComboBox;
    m_lesson->setObjectName(u"cboGenLesson"_s);
    m_messageDigit = new QComboBox;
    m_messageDigit->setObjectName(u"cboGenMessage"_s);
    for (int digit = 0; digit <= 9; ++digit) {
        m_lesson->addItem(QString::number(digit));
        m_messageDigit->addItem(QString::number(digit));
    }

    auto *create = new QPushButton(u"&Create Message"_s);
    create->setObjectName(u"btnCreateMessage"_s);
    create->setToolTip(u"Create and show the message"_s);
    connect(create, &QPushButton::clicked, this, &TrainerMessagesTab::btnCreateMessage_Click);
    auto *editList = new QPushButton(u"Edit &Word List"_s);
    editList->setObjectName(u"btnEditWList"_s);
    editList->setToolTip(u"Edit the list of predefined words"_s);
    connect(editList, &QPushButton::clicked, this, &TrainerMessagesTab::btnEditWList_Click);

    auto *inputs = new QHBoxLayout;
    inputs->addLayout(buildMethods());
    auto *form = new QFormLayout;
    form->addRow(tr("Words:"), m_wordCount);
    form->addRow(u"Wordlength:"_s, m_wordLength);
    form->addRow(u"Repeat Words:"_s, m_repeatCount);
    inputs->addLayout(form);
    auto *target = new QFormLayout;
    target->addRow(u"Lesson:"_s, m_lesson);
    target->addRow(u"Message:"_s, m_messageDigit);
    inputs->addLayout(target);
    inputs->addStretch();
    auto *actions = new QVBoxLayout;
    actions->addWidget(create);
    actions->addWidget(editList);
    inputs->addLayout(actions);

    auto *layout = new QVBoxLayout(panel);
    layout->addLayout(cells);
    layout->addLayout(sets);
    layout->addLayout(inputs);
    return panel;
}

QLayout *TrainerMessagesTab::buildMethods()
{
    m_method = new QButtonGroup(this);
    const auto radio = [this](Method id, const QString &caption, const QString &tip) {
        auto *b = new QRadioButton(caption);
        b->setObjectName(u"optMethod%1"_s.arg(int(id)));
        b->setToolTip(tip);
        m_method->addButton(b, id);
        return b;
    };
    QRadioButton *groups = radio(Groups, u"Groups"_s, u"Generate message using groups of the selected characters"_s);
    QRadioButton *wordList = radio(WordList, u"Word List"_s, u"Generate message using words from word list"_s);
    QRadioButton *koch = radio(KochLesson, tr("Koch Lesson"),
                               tr("Groups of a Koch course lesson: its newest characters come up twice as often"));
    QRadioButton *calls = radio(CallSigns, tr("Call Signs"), tr("Call signs built on the prefixes of countries.txt"));
    groups->setChecked(true);

    m_wordSource = new QComboBox;
    m_wordSource->setObjectName(u"cboWordSource"_s);
    m_wordSource->setToolTip(tr("The list the words are drawn from"));
    for (const WordSource &source : WordSources)
        m_wordSource->addItem(QString::fromUtf16(source.caption));
    m_kochLesson = new QComboBox;
    m_kochLesson->setObjectName(u"cboKochLesson"_s);
    m_kochLesson->setToolTip(tr("The Koch lesson: lesson 1 has two characters, each lesson one more"));
    for (int lesson = 1; lesson <= KochCourse::LessonCount; ++lesson)
        m_kochLesson->addItem(KochCourse::title(lesson));
    m_kochLesson->setMaxVisibleItems(20);
    // The later lessons' titles are long: the list shows them whole.
    for (QComboBox *list : {m_wordSource, m_kochLesson}) {
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        list->setMinimumContentsLength(26);
        list->view()->setMinimumWidth(list->view()->sizeHintForColumn(0) + 24);
    }

    // Choosing in a list chooses its method.
    connect(m_wordSource, &QComboBox::activated, this, [wordList] { wordList->setChecked(true); });
    connect(m_kochLesson, &QComboBox::activated, this, [koch] { koch->setChecked(true); });
    connect(m_method, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            selectionChanged();
    });
    connect(m_wordSource, &QComboBox::currentIndexChanged, this, &TrainerMessagesTab::selectionChanged);
    connect(m_kochLesson, &QComboBox::currentIndexChanged, this, &TrainerMessagesTab::selectionChanged);

    auto *methods = new QGridLayout;
    methods->addWidget(groups, 0, 0);
    methods->addWidget(wordList, 1, 0);
    methods->addWidget(m_wordSource, 1, 1);
    methods->addWidget(koch, 2, 0);
    methods->addWidget(m_kochLesson, 2, 1);
    methods->addWidget(calls, 3, 0);
    return methods;
}

void TrainerMessagesTab::attachSettings(SettingsStore *settings)
{
    m_settings = nullptr;
    if (QAbstractButton *method = m_method->button(settings->intSetting(u"KRTLessonSource"_s, Groups)))
        method->setChecked(true);
    m_kochLesson->setCurrentIndex(
        qBound(1, settings->intSetting(u"KRTKochLesson"_s, 1), KochCourse::LessonCount) - 1);
    m_wordSource->setCurrentIndex(
        qBound(0, settings->intSetting(u"KRTWordSource"_s, 0), int(std::size(WordSources)) - 1));
    m_settings = settings;
    selectionChanged();
}

void TrainerMessagesTab::selectionChanged()
{
    if (m_settings) {
        m_settings->setSetting(u"KRTLessonSource"_s, m_method->checkedId());
        m_settings->setSetting(u"KRTKochLesson"_s, m_kochLesson->currentIndex() + 1);
        m_settings->setSetting(u"KRTWordSource"_s, m_wordSource->currentIndex());
    }
    emit lessonChanged(lessonName());
}

QString TrainerMessagesTab::lessonName() const
{
    switch (m_method->checkedId()) {
    case WordList:
        return QString::fromUtf16(WordSources[qMax(0, m_wordSource->currentIndex())].scoreName);
    case KochLesson: return KochCourse::scoreName(m_kochLesson->currentIndex() + 1);
    case CallSigns: return tr("Call signs");
    default: return tr("Groups");
    }
}

QWidget *TrainerMessagesTab::buildMessageButtons()
{
    auto *panel = new QGroupBox(tr("Training Messages"));
    const auto button = [this](const QString &name, const QString &caption, const QString &tip,
                               void (TrainerMessagesTab::*handler)()) {
        auto *b = new QPushButton(caption);
        b->setObjectName(name);
        b->setToolTip(tip);
        if (handler)
            connect(b, &QPushButton::clicked, this, handler);
        m_messageButtons.append(b);
        return b;
    };
    QPushButton *useFile = button(u"btnUseFile"_s, u"&Use Text File"_s, u"Use an existing text file for this message"_s,
                                  &TrainerMessagesTab::btnUseFile_Click);
    QPushButton *edit = button(u"btnEditMessage"_s, u"&Edit Message"_s, u"Edit / View this message"_s,
                               &TrainerMessagesTab::btnEditMessage_Click);
    QPushButton *remove = button(u"btnDeleteMessage"_s, u"&Delete Message"_s, u"Delete this message"_s,
                                 &TrainerMessagesTab::btnDeleteMessage_Click);
    QPushButton *load = button(u"btnUseMessages"_s, u"&Load Lessons"_s, u"Load all lessons into the keyer"_s, nullptr);
    connect(load, &QPushButton::clicked, this, &TrainerMessagesTab::loadLessonsClicked);
    m_cancel = new QPushButton(tr("Cancel"));
    m_cancel->setObjectName(u"btnCancel"_s);
    m_cancel->setToolTip(tr("Stop loading the lessons"));
    m_cancel->hide();
    connect(m_cancel, &QPushButton::clicked, this, &TrainerMessagesTab::cancelClicked);
    m_progress = new QProgressBar;
    m_progress->setObjectName(u"ctlLoadProgressBar"_s);
    m_progress->setValue(0);

    auto *row = new QHBoxLayout;
    for (QPushButton *b : {useFile, edit, remove, load, m_cancel})
        row->addWidget(b);
    auto *layout = new QVBoxLayout(panel);
    layout->addLayout(row);
    layout->addWidget(m_progress);
    return panel;
}

QMessageBox::StandardButton TrainerMessagesTab::message(QMessageBox::Icon icon, const QString &text,
                                                        QMessageBox::StandardButtons buttons,
                                                        QMessageBox::StandardButton defaultButton)
{
    return m_message(icon, text, buttons, defaultButton);
}

int TrainerMessagesTab::selectedMessage() const
{
    return m_lesson->currentIndex() * 10 + m_messageDigit->currentIndex();
}

void TrainerMessagesTab::setLoading(bool loading)
{
    for (QPushButton *b : std::as_const(m_messageButtons))
        b->setEnabled(!loading);
    m_cancel->setVisible(loading);
}

void TrainerMessagesTab::press(CharacterGrid::Set set)
{
    m_grid.press(set);
    for (int i = 0; i < CharacterGrid::CellCount; ++i)
        paintCell(i);
}

void TrainerMessagesTab::paintCell(int index)
{
    const bool on = m_grid.isSelected(index);
    const QPalette system = palette();
    QPalette p = m_cells.at(index)->palette();
    p.setColor(QPalette::Button, on ? system.color(QPalette::Active, QPalette::Highlight) : system.color(QPalette::Window));
    p.setColor(QPalette::ButtonText,
               on ? system.color(QPalette::Active, QPalette::HighlightedText) : system.color(QPalette::WindowText));
    m_cells.at(index)->setPalette(p);
    m_cells.at(index)->setProperty("selected", on);
}

bool TrainerMessagesTab::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_repeatCount && event->type() == QEvent::FocusOut) {
        const double repeat = LessonGenerator::leadingNumber(m_repeatCount->text());
        if (repeat > 9 || repeat < 1) {
            m_repeatCount->setText(u"1"_s);
            QTimer::singleShot(0, m_repeatCount, [box = m_repeatCount] { box->setFocus(); });
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TrainerMessagesTab::btnCreateMessage_Click()
{
    const double count = LessonGenerator::leadingNumber(m_wordCount->text());
    if (!LessonGenerator::wordCountAccepted(count)) {
        message(QMessageBox::Critical,
                u"The word count should be between 50 and "_s + numberText(LessonGenerator::MaxWords));
        m_wordCount->setFocus();
        return;
    }
    const int repeat = qBound(1, int(LessonGenerator::leadingNumber(m_repeatCount->text())), 9);
    QByteArray text;
    if (!generate(int(count), repeat, &text))
        return;
    const QString path = MessageStore::fileName(selectedMessage());
    if (store(path, text))
        showFile(path, false);
}

bool TrainerMessagesTab::generate(int wordCount, int repeat, QByteArray *text)
{
    const int length = m_wordLength->currentIndex() == RandomLengthPosition
                           ? LessonGenerator::RandomLength
                           : m_wordLength->currentText().trimmed().toInt();
    switch (m_method->checkedId()) {
    case WordList: {
        QList<QByteArray> words;
        if (!readWords(&words))
            return false;
        *text = LessonGenerator::fromWords(words, wordCount, repeat, *m_random);
        return true;
    }
    case KochLesson:
        *text = LessonGenerator::groups(KochCourse::pool(m_kochLesson->currentIndex() + 1), wordCount, length, repeat,
                                        *m_random);
        return true;
    case CallSigns: {
        const QString path = ShippedData::find(CountriesFile);
        QFile file(path);
        QStringList prefixes;
        if (!path.isEmpty() && file.open(QIODevice::ReadOnly))
            prefixes = CallSignGenerator::prefixes(KeyerText::decode(file.readAll()));
        if (prefixes.isEmpty()) {
            message(QMessageBox::Critical, tr("File %1 not found").arg(CountriesFile));
            return false;
        }
        *text = CallSignGenerator::calls(prefixes, wordCount, repeat, *m_random);
        return true;
    }
    default:
        if (m_grid.selectedCount() < 2) {
            message(QMessageBox::Critical, u"You have to pick at least 2 characters"_s);
            return false;
        }
        *text = LessonGenerator::groups(m_grid.pool(), wordCount, length, repeat, *m_random);
        return true;
    }
}

bool TrainerMessagesTab::readWords(QList<QByteArray> *words)
{
    const WordSource &source = WordSources[qMax(0, m_wordSource->currentIndex())];
    const QString name = source.file ? QString::fromUtf16(source.file) : u"wordlist.txt"_s;
    const QString path = source.file ? ShippedData::find(name) : MessageStore::wordListFile();
    QFile list(path);
    if (path.isEmpty() || !list.exists()) {
        message(QMessageBox::Critical, u"File "_s + name + u" not found"_s);
        return false;
    }
    if (list.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = list.readAll();
        *words = source.phrases ? LessonGenerator::parsePhraseList(bytes) : LessonGenerator::parseWordList(bytes);
    }
    if (words->isEmpty()) {
        message(QMessageBox::Critical, tr("File %1 holds no words").arg(name));
        return false;
    }
    return true;
}

bool TrainerMessagesTab::store(const QString &path, const QByteArray &text, bool askReplace)
{
    // A message the keyer cannot hold is never made; one that crowds out
    // the others is the operator's choice.
    const qint64 own = text.size() + 1;
    if (own > MessageLoad::Capacity) {
        message(QMessageBox::Critical, tr("This message would take %1 bytes, more than the keyer's %2 bytes of "
                                          "message memory. Use fewer words or repeats.")
                                           .arg(own)
                                           .arg(MessageLoad::Capacity));
        return false;
    }
    const qint64 total = MessageLoad::totalWith(selectedMessage(), text.size());
    if (total > MessageLoad::Capacity
        && message(QMessageBox::Warning,
                   tr("With this message all messages take %1 bytes, %2 more than the keyer holds. Load Lessons "
                      "will refuse them until others are deleted. Create it all the same?")
                       .arg(total)
                       .arg(total - MessageLoad::Capacity),
                   QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel)
               != QMessageBox::Ok)
        return false;
    // The new text replaces the old file in one step when it is written
    // whole; a write that fails leaves the old message as it was.
    if (askReplace && QFile::exists(path)
        && message(QMessageBox::Question, u"Do you want to replace this message?"_s,
                   QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel)
               != QMessageBox::Ok)
        return false;
    if (const QString error = MessageStore::write(path, text); !error.isEmpty()) {
        message(QMessageBox::Critical, tr("The message could not be written: %1").arg(error));
        return false;
    }
    return true;
}

void TrainerMessagesTab::showFile(const QString &path, bool createSilently)
{
    if (!QFile::exists(path)) {
        if (!createSilently
            && message(QMessageBox::Question, tr("%1 does not exist yet. Create it?").arg(path),
                       QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                   != QMessageBox::Yes)
            return;
        if (const QString error = MessageStore::write(path, {}); !error.isEmpty()) {
            message(QMessageBox::Critical, error);
            return;
        }
    }
    const QString absolute = QDir().absoluteFilePath(path);
    if (!m_opener(absolute))
        DesktopOpen::noHandler(this, absolute);
}

void TrainerMessagesTab::btnEditMessage_Click()
{
    showFile(MessageStore::fileName(selectedMessage()), false);
}

void TrainerMessagesTab::btnEditWList_Click()
{
    showFile(MessageStore::wordListFile(), true);
}

void TrainerMessagesTab::btnUseFile_Click()
{
    const QString target = MessageStore::fileName(selectedMessage());
    if (QFile::exists(target)
        && message(QMessageBox::Question, u"Do you want to replace this message?"_s,
                   QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel)
               != QMessageBox::Ok)
        return;
    const QString source = m_chooser(u"Select Message File"_s, QDir::currentPath(), u"Message File (*.txt)"_s);
    if (source.isEmpty())
        return;
    QByteArray text;
    if (const QString error = MessageStore::readText(source, &text); !error.isEmpty()) {
        message(QMessageBox::Critical, tr("The message could not be written: %1").arg(error));
        return;
    }
    // The replace question came before the file chooser.
    if (store(target, text, false))
        showFile(target, false);
}

void TrainerMessagesTab::btnDeleteMessage_Click()
{
    const QString path = MessageStore::fileName(selectedMessage());
    if (!QFile::exists(path))
        return;
    if (message(QMessageBox::Question, u"Do you want to delete this message?"_s, QMessageBox::Yes | QMessageBox::No,
                QMessageBox::No)
        == QMessageBox::Yes)
        QFile::remove(path);
}
