#include "userstab.h"

#include "sendtext.h"
#include "smarttextdialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int FirstSmartKey = 2;
constexpr int LastSmartKey = 12;

// Control names and tool-tips of the station keys, in ProfileStore::fieldKeys() order.
struct FieldControl
{
    const char16_t *name;
    const char16_t *caption;
    const char16_t *tip;
};
constexpr FieldControl FieldControls[] = {
    {u"txtDescription", u"Description:", u"Short description of this profile"},
    {u"txtCall1", u"Call:", u"Call of User1 for \\I command"},
    {u"txtOperator1", u"Operator:", u"Operator1 for \\O command"},
    {u"txtName1", u"Name:", u"Name of User1 \\M command"},
    {u"txtQTH1", u"QTH:", u"QTH of User1 \\L command"},
    {u"txtCall2", u"Call:", u"Call of User2 for \\I command"},
    {u"txtOperator2", u"Operator:", u"Operator2 for \\O command"},
    {u"txtName2", u"Name:", u"Name of User2 \\M command"},
    {u"txtQTH2", u"QTH:", u"QTH of User2 \\L command"},
};

QPushButton *button(const QString &name, const QString &caption, const QString &tip)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(name);
    b->setToolTip(tip);
    return b;
}

} // namespace

UsersTab::UsersTab(SettingsStore *settings, QWidget *parent) : QWidget(parent), m_store(*settings)
{
    setObjectName(u"fraUsersFrame"_s);
    buildControls();
    buildLayout();
    showProfile(-1);

    connect(m_profileList, &QComboBox::activated, this, &UsersTab::profileChosen);
    for (int set = 0; set < ProfileStore::MessageSets; ++set)
        connect(m_messages[set].list, &QComboBox::activated, this,
                [this, set](int number) { messageChosen(set, number); });
    connect(m_save, &QPushButton::clicked, this, [this] {
        if (saveProfile())
            tell(QMessageBox::Information, u"Profile has been saved in the settings"_s);
    });
    connect(m_delete, &QPushButton::clicked, this, &UsersTab::deleteProfile);
    connect(m_use, &QPushButton::clicked, this, &UsersTab::useProfileClicked);
    connect(m_export, &QPushButton::clicked, this, &UsersTab::exportClicked);
    connect(m_cancel, &QPushButton::clicked, this, &UsersTab::cancelClicked);
}

void UsersTab::buildControls()
{
    m_profileList = new QComboBox;
    m_profileList->setObjectName(u"cboProfile"_s);
    m_profileList->setToolTip(u"Select a profile 0-9"_s);
    m_profileList->addItem(QString());
    for (int profile = 0; profile < ProfileStore::Profiles; ++profile)
        m_profileList->addItem(QString::number(profile));

    for (size_t i = 0; i < m_fields.size(); ++i) {
        m_fields[i] = new QLineEdit;
        m_fields[i]->setObjectName(QString::fromUtf16(FieldControls[i].name));
        m_fields[i]->setToolTip(QString::fromUtf16(FieldControls[i].tip));
        m_fields[i]->installEventFilter(this);
    }

    static const char16_t *const listTips[] = {u"Select a message for User1", u"Select a message for User2",
                                              u"Select a hidden message shared by User1 and User2"};
    for (int set = 0; set < ProfileStore::MessageSets; ++set) {
        MessageList &m = m_messages[set];
        m.list = new QComboBox;
        m.list->setObjectName(u"cboMessage%1"_s.arg(set + 1));
        m.list->setToolTip(QString::fromUtf16(listTips[set]));
        for (int number = 0; number < ProfileStore::MessagesPerSet; ++number)
            m.list->addItem(QString::number(number));
        m.list->setCurrentIndex(-1);
        m.list->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        m.box = new QPlainTextEdit;
        m.box->setObjectName(u"txtMessage%1"_s.arg(set + 1));
        m.box->setTabChangesFocus(true);
        m.box->setMinimumHeight(m.box->fontMetrics().lineSpacing() * 3 + 12);
        m.box->installEventFilter(this);
    }

    m_save = button(u"btnSaveProfile"_s, u"&Save Profile"_s, u"Save this profile in the settings"_s);
    m_delete = button(u"btnDeleteProfile"_s, u"&Delete Profile"_s, u"Delete this profile from the settings"_s);
    m_use = button(u"btnUseProfile"_s, u"&Use Profile"_s, u"Save the profile and load these settings into the keyer"_s);
    m_export = button(u"btnExport"_s, u"&Export Settings"_s, u"Export all settings to a file"_s);
    m_cancel = button(u"btnCancelLoad"_s, u"&Cancel"_s, tr("Stop loading the profile into the keyer (Esc)"));
    m_cancel->setEnabled(false);
}

void UsersTab::buildLayout()
{
    auto fieldRow = [this](QFormLayout *form, int index) {
        form->addRow(QString::fromUtf16(FieldControls[index].caption), m_fields[size_t(index)]);
    };
    auto messageRows = [this](QFormLayout *form, int set) {
        form->addRow(tr("Message:"), m_messages[set].list);
        form->addRow(m_messages[set].box);
    };

    auto *top = new QFormLayout;
    auto *profileRow = new QHBoxLayout;
    profileRow->addWidget(m_profileList);
    profileRow->addSpacing(24);
    profileRow->addWidget(new QLabel(QString::fromUtf16(FieldControls[0].caption)));
    profileRow->addWidget(m_fields[0], 1);
    top->addRow(tr("Profile:"), profileRow);

    auto *users = new QHBoxLayout;
    for (int user = 1; user <= 2; ++user) {
        auto *frame = new QGroupBox(u"User %1"_s.arg(user));
        auto *form = new QFormLayout(frame);
        for (int i = 0; i < 4; ++i)
            fieldRow(form, 1 + (user - 1) * 4 + i);
        messageRows(form, user - 1);
        users->addWidget(frame, 1);
    }

    auto *hidden = new QGroupBox(u"Hidden Messages"_s);
    auto *hiddenForm = new QFormLayout(hidden);
    messageRows(hiddenForm, 2);

    auto *smart = new QGroupBox(tr("Smart text for the function keys of the Terminal tab"));
    auto *keys = new QHBoxLayout(smart);
    for (int key = FirstSmartKey; key <= LastSmartKey; ++key) {
        QPushButton *b = button(u"btnFKey"_s, u"F%1"_s.arg(key), u"Define smart text for F%1"_s.arg(key));
        connect(b, &QPushButton::clicked, this, [this, key] { defineSmartText(key); });
        keys->addWidget(b);
    }

    auto *actions = new QHBoxLayout;
    actions->addWidget(m_save);
    actions->addWidget(m_delete);
    actions->addWidget(m_use);
    actions->addWidget(m_cancel);
    actions->addStretch();
    actions->addWidget(m_export);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    // Spare height goes to the message boxes.
    layout->addLayout(users, 2);
    layout->addWidget(hidden, 1);
    layout->addWidget(smart);
    layout->addLayout(actions);
}

QString UsersTab::messageLanguageHelp()
{
    return u"\tCommands and Prosigns:\r\n"
           "\r\n"
           "\\+\t= store last word as name/QTH/info\r\n"
           "\\#\t= store log record\r\n"
           "\\A\t= abort message if previous QSO was found\r\n"
           "\\B\t= break message, resume later\r\n"
           "\\C\t= send call and check for previous QSO\r\n"
           "\\D\t= speed down after a speed up\r\n"
           "\\E\t= enable keying (opposite of \\X)\r\n"
           "\\Gn\t= goto user message n\r\n"
           "\\Hn\t= goto hidden message n\r\n"
           "\\I\t= my station call\r\n"
           "\\Jn\t= jump to hidden message n if previous QSO\r\n"
           "\\Knnn\t= keydown for nnn seconds (nnn = 0...255)\r\n"
           "\\L\t= my QTH\r\n"
           "\\M\t= my name\r\n"
           "\\N\t= his name\r\n"
           "\\O\t= my operator call\r\n"
           "\\P[s]\t= conditional text\r\n"
           "\\Q[s][%]\t= his QTH\r\n"
           "\\R[nnn]\t= repeat after nnn seconds delay (nnn = 0...255)\r\n"
           "\\S\t= insert serial number\r\n"
           "\\T\t= set starttime in log record\r\n"
           "\\U\t= speed up by 30%\r\n"
           "\\Wnnn\t= wait for nnn seconds (nnn = 0...255)\r\n"
           "\\X\t= keying off (quiet mode)\r\n"
           "\\Y[s][%|&|^|~]\t= insert QSO year or date\r\n"
           "\t%\t= YYYY\r\n"
           "\t&\t= DD.MM.YYYY\r\n"
           "\t^\t= MM/DD/YYYY\r\n"
           "\t~\t= YYYY-MM-DD\r\n"
           "\\Z\t= reset log record\r\n"
           "\r\n"
           "#\t= <sk>\r\n"
           "(\t= <kn>\r\n"
           "%\t= <ka>\r\n"
           "+\t= <ar>\r\n"
           "=\t= <bt>\r\n"
           ">\t= <bk>\r\n"
           "^\t= <ve>\r\n"
           "&\t= <as>\r\n"
           "*\t= CH"_s;
}

void UsersTab::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (std::exchange(m_shownOnce, true) || m_profile >= 0 || !m_keyerProfile)
        return;
    const int profile = m_keyerProfile();
    if (profile >= 0 && profile < ProfileStore::Profiles) {
        m_profileList->setCurrentIndex(profile + 1);
        showProfile(profile);
    }
}

// Typing here follows the Terminal tab's rule: "<" and "¤" are reserved for
// the keyer's codes, and the keyer knows upper case only.
bool UsersTab::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const QString text = key->text();
    if (text.size() != 1 || !text.at(0).isPrint() || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    const QChar c = text.at(0);
    if (c == u'<' || c == QChar(SendText::Escape))
        return true;
    if (c.toUpper() == c)
        return false;
    if (auto *line = qobject_cast<QLineEdit *>(watched))
        line->insert(c.toUpper());
    else if (auto *box = qobject_cast<QPlainTextEdit *>(watched))
        box->insertPlainText(c.toUpper());
    return true;
}

// A profile chosen in the list: the one shown is saved first when both its
// calls are there; with only one of them the choice is refused.
void UsersTab::profileChosen(int index)
{
    const int chosen = index - 1;
    if (m_profile >= 0) {
        const int missing = ProfileStore::missingCall(callBox(1)->text(), callBox(2)->text());
        if (missing != 0) {
            tell(QMessageBox::Critical, u"The calls for User1 and User2 must be specified"_s);
            m_profileList->setCurrentIndex(m_profile + 1);
            callBox(missing)->setFocus();
            return;
        }
        if (!callBox(1)->text().trimmed().isEmpty())
            writeFields();
        // The messages in the boxes belong to the profile they were read from.
        saveShownMessages();
        commit();
    }
    showProfile(chosen);
}

void UsersTab::showProfile(int profile)
{
    m_profile = profile;
    for (size_t i = 0; i < m_fields.size(); ++i) {
        const QString &key = ProfileStore::fieldKeys().at(qsizetype(i));
        m_fields[i]->setText(profile < 0 ? QString() : m_store.value(profile, key));
    }
    for (int set = 0; set < ProfileStore::MessageSets; ++set) {
        MessageList &m = m_messages[set];
        // A new profile opens on message 0 of each list unless one is chosen.
        if (profile >= 0 && m.list->currentIndex() < 0)
            m.list->setCurrentIndex(0);
        showMessage(set, profile < 0 ? -1 : m.list->currentIndex());
        m.box->setEnabled(profile >= 0);
        m.list->setEnabled(profile >= 0);
    }
    for (QLineEdit *field : m_fields)
        field->setEnabled(profile >= 0);
    refreshButtons();
}

void UsersTab::messageChosen(int set, int number)
{
    MessageList &m = m_messages[set];
    if (m_profile >= 0 && m.shown >= 0) {
        m_store.setMessage(m_profile, set + 1, m.shown, m.box->toPlainText());
        commit();
    }
    showMessage(set, number);
    m.box->setFocus();
}

void UsersTab::showMessage(int set, int number)
{
    MessageList &m = m_messages[set];
    m.shown = number;
    m.box->setPlainText(number < 0 || m_profile < 0 ? QString() : m_store.message(m_profile, set + 1, number));
}

void UsersTab::saveShownMessages()
{
    for (int set = 0; set < ProfileStore::MessageSets; ++set) {
        const MessageList &m = m_messages[set];
        if (m.shown >= 0)
            m_store.setMessage(m_profile, set + 1, m.shown, m.box->toPlainText());
    }
}

bool UsersTab::commit()
{
    if (m_store.commit())
        return true;
    tell(QMessageBox::Critical, tr("The profile could not be saved: the settings file %1 cannot be written.")
                                    .arg(m_store.fileName()));
    return false;
}

bool UsersTab::saveProfile()
{
    if (m_profile < 0)
        return false;
    for (int user = 1; user <= 2; ++user) {
        if (callBox(user)->text().trimmed().isEmpty()) {
            tell(QMessageBox::Critical, u"The calls for User1 and User2 must be specified"_s);
            callBox(user)->setFocus();
            return false;
        }
    }
    for (int user = 1; user <= 2; ++user) {
        if (!ProfileStore::validCall(callBox(user)->text().trimmed())) {
            tell(QMessageBox::Critical, u"Invalid call"_s);
            callBox(user)->setFocus();
            return false;
        }
    }
    writeFields();
    saveShownMessages();
    return commit();
}

void UsersTab::writeFields()
{
    for (size_t i = 0; i < m_fields.size(); ++i) {
        const bool call = m_fields[i] == callBox(1) || m_fields[i] == callBox(2);
        const QString text = m_fields[i]->text();
        m_store.setValue(m_profile, ProfileStore::fieldKeys().at(qsizetype(i)), call ? text.trimmed() : text);
    }
}

void UsersTab::deleteProfile()
{
    if (m_profile < 0)
        return;
    if (m_confirm && !m_confirm(tr("Do you really want to delete profile %1 (%2) from the settings?")
                                    .arg(m_profile)
                                    .arg(m_store.value(m_profile, u"CALL1"_s).trimmed())))
        return;
    m_store.removeProfile(m_profile);
    if (!commit())
        return;
    // The boxes show what is left, so that moving on does not save it back.
    showProfile(m_profile);
    tell(QMessageBox::Information, u"Profile has been deleted from the settings"_s);
}

void UsersTab::defineSmartText(int key)
{
    SmartTextDialog dialog(key, m_store.smartText(key), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_store.setSmartText(key, dialog.text());
    if (m_store.commit())
        emit smartTextDefined();
    else
        tell(QMessageBox::Critical, tr("The smart text could not be saved: the settings file %1 cannot be written.")
                                        .arg(m_store.fileName()));
}

void UsersTab::setBusy(bool busy)
{
    m_busy = busy;
    refreshButtons();
}

void UsersTab::refreshButtons()
{
    const bool profile = m_profile >= 0;
    m_save->setEnabled(!m_busy && profile);
    m_delete->setEnabled(!m_busy && profile);
    m_use->setEnabled(!m_busy && profile);
    m_export->setEnabled(!m_busy);
    m_cancel->setEnabled(m_busy);
}

QLineEdit *UsersTab::callBox(int user) const
{
    return m_fields[user == 1 ? 1 : 5];
}
