#include "eqslaccount.h"
#include "eqslparms.h"
#include "settingsstore.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The eQSL account dialog on a settings file of its own: what it shows,
// what Save and Clear keep, and where the password ends up.
class TestEqslParms : public QObject
{
    Q_OBJECT

private slots:
    void accountIsKeptAsTheDialogSays_data();
    void accountIsKeptAsTheDialogSays();
};

void TestEqslParms::accountIsKeptAsTheDialogSays_data()
{
    QTest::addColumn<QString>("storedUser");
    QTest::addColumn<QString>("storedPassword");
    QTest::addColumn<QString>("typedUser");     // null: left as the dialog shows it
    QTest::addColumn<QString>("typedPassword"); // null: left as the dialog shows it
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message");
    QTest::newRow("save keeps both, trimmed") << QString() << QString() << u" K1ABC "_s << u" p&ss w<rd "_s
                                              << u"btnSave"_s << u"K1ABC"_s << u"p&ss w<rd"_s << QString();
    QTest::newRow("opening shows what is kept") << u"K1ABC"_s << u"old one"_s << QString() << QString()
                                                << u"btnSave"_s << u"K1ABC"_s << u"old one"_s << QString();
    QTest::newRow("save needs a password") << u"K1ABC"_s << u"old one"_s << QString() << u"   "_s << u"btnSave"_s
                                           << u"K1ABC"_s << u"old one"_s
                                           << u"You have to specify UserID and Password"_s;
    QTest::newRow("save needs a user ID") << QString() << QString() << QString() << u"secret"_s << u"btnSave"_s
                                          << QString() << QString() << u"You have to specify UserID and Password"_s;
    QTest::newRow("clear empties both") << u"K1ABC"_s << u"old one"_s << QString() << QString() << u"btnClear"_s
                                        << QString() << QString() << QString();
}

void TestEqslParms::accountIsKeptAsTheDialogSays()
{
    QFETCH(QString, storedUser);
    QFETCH(QString, storedPassword);
    QFETCH(QString, typedUser);
    QFETCH(QString, typedPassword);
    QFETCH(QString, button);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, message);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(u"settings.ini"_s);
    SettingsStore settings(file);
    QString error;
    if (!storedUser.isEmpty())
        QVERIFY(EqslAccount(&settings).save(storedUser, storedPassword, &error));

    EqslAccount account(&settings);
    QStringList messages;
    EqslParms dialog(account, [&messages](QMessageBox::Icon, const QString &text) { messages << text; });
    dialog.show();
    auto *userBox = dialog.findChild<QLineEdit *>(u"txtUserID"_s);
    auto *passwordBox = dialog.findChild<QLineEdit *>(u"txtPassword"_s);
    QCOMPARE(userBox->text(), storedUser);
    QVERIFY2(passwordBox->text() == storedPassword, "the dialog shows another password");
    QCOMPARE(passwordBox->echoMode(), QLineEdit::Password);
    if (!typedUser.isNull())
        userBox->setText(typedUser);
    if (!typedPassword.isNull())
        passwordBox->setText(typedPassword);
    dialog.findChild<QPushButton *>(button)->click();

    QCOMPARE(messages, message.isEmpty() ? QStringList{} : QStringList{message});
    QCOMPARE(dialog.result() == QDialog::Accepted, message.isEmpty());
    // What a later run of the program reads.
    SettingsStore reread(file);
    EqslAccount kept(&reread);
    QCOMPARE(kept.user(), user);
    QVERIFY2(kept.password() == password, "another password was kept");

    QFile stored(file);
    const QByteArray contents = stored.open(QIODevice::ReadOnly) ? stored.readAll() : QByteArray();
    const QString keeper = dialog.findChild<QLabel *>(u"lblPasswordKeeper"_s)->text();
    if (kept.keeper() == EqslAccount::Keeper::SecretStore) {
        QCOMPARE(keeper, u"The password is kept in the desktop's secret store."_s);
        QVERIFY2(password.isEmpty() || !contents.contains(password.toUtf8()),
                 "the password is in the settings file beside the secret store");
    } else {
        QVERIFY2(keeper.contains(file) && keeper.contains(u"readable only by you"_s), qPrintable(keeper));
        if (!password.isEmpty())
            QCOMPARE(stored.permissions() & ~(QFile::ReadUser | QFile::WriteUser),
                     QFile::ReadOwner | QFile::WriteOwner);
    }
}

QTEST_MAIN(TestEqslParms)
#include "tst_eqslparms.moc"
