#pragma once

#include "profilestore.h"

#include <QMessageBox>
#include <QWidget>

#include <array>
#include <functional>

class SettingsStore;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The Users tab: the ten profiles with both operators' calls, names, QTHs
// and messages, the hidden messages, and the smart texts of F2..F12. The
// shown profile and message are saved when the selection moves on. Loading
// a profile into the keyer is the main window's; it listens to
// useProfileClicked().
class UsersTab : public QWidget
{
    Q_OBJECT
public:
    explicit UsersTab(SettingsStore *settings, QWidget *parent = nullptr);

    // The profile shown, 0..9, or -1 for none.
    int shownProfile() const { return m_profile; }
    // When the tab is first shown without a profile, it shows this one
    // (the keyer's).
    void setKeyerProfile(std::function<int()> keyerProfile) { m_keyerProfile = std::move(keyerProfile); }
    // Checks both calls and saves the shown profile with its shown
    // messages; false after telling the operator why not.
    bool saveProfile();
    // A load into the keyer rests the buttons that could start another;
    // only its Cancel acts.
    void setBusy(bool busy);
    bool busy() const { return m_busy; }
    // Yes/No with No preselected; Delete Profile asks it first.
    void setConfirm(std::function<bool(const QString &question)> confirm) { m_confirm = std::move(confirm); }

    // F1 on this tab: the keyer's message language and its prosigns.
    static QString messageLanguageHelp();

signals:
    void useProfileClicked();
    void cancelClicked();
    void exportClicked();
    // A smart text was stored or deleted with the SmartText dialog.
    void smartTextDefined();
    void messageRequested(QMessageBox::Icon icon, const QString &text);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct MessageList
    {
        QComboBox *list = nullptr;
        QPlainTextEdit *box = nullptr;
        int shown = -1; // the message number in the box, -1 for none
    };

    void buildControls();
    void buildLayout();
    void profileChosen(int index);
    void showProfile(int profile);
    void messageChosen(int set, int number);
    void showMessage(int set, int number);
    void writeFields();
    void saveShownMessages();
    bool commit();
    void deleteProfile();
    void defineSmartText(int key);
    void refreshButtons();
    QLineEdit *callBox(int user) const;
    void tell(QMessageBox::Icon icon, const QString &text) { emit messageRequested(icon, text); }

    ProfileStore m_store;
    std::function<int()> m_keyerProfile;
    std::function<bool(const QString &)> m_confirm;
    int m_profile = -1;
    bool m_busy = false;
    bool m_shownOnce = false;

    QComboBox *m_profileList;
    // The station keys from DESCRIPTION to QTH_2, in ProfileStore::fieldKeys() order.
    std::array<QLineEdit *, 9> m_fields{};
    std::array<MessageList, ProfileStore::MessageSets> m_messages{};
    QPushButton *m_save;
    QPushButton *m_delete;
    QPushButton *m_use;
    QPushButton *m_export;
    QPushButton *m_cancel;
};
