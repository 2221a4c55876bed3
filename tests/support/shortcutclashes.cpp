#include "shortcutclashes.h"

#include <QAbstractButton>
#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QMap>
#include <QTabBar>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {

bool offering(const QWidget *w)
{
    return w && w->isVisible() && w->isEnabled();
}

QString who(const QWidget *w, const QString &text)
{
    return u"%1 \"%2\""_s.arg(w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                                        : w->objectName(),
                               text);
}

} // namespace

QStringList shortcutClashes(QWidget *window)
{
    QMap<QString, QStringList> offered;
    const auto offer = [&offered](const QKeySequence &key, const QString &owner) {
        if (!key.isEmpty())
            offered[key.toString(QKeySequence::PortableText)] << owner;
    };
    for (const QAbstractButton *b : window->findChildren<QAbstractButton *>()) {
        if (offering(b))
            offer(b->shortcut(), who(b, b->text()));
    }
    for (const QLabel *l : window->findChildren<QLabel *>()) {
        if (offering(l) && offering(l->buddy()))
            offer(QKeySequence::mnemonic(l->text()), who(l, l->text()));
    }
    for (const QTabBar *t : window->findChildren<QTabBar *>()) {
        for (int i = 0; offering(t) && i < t->count(); ++i) {
            if (t->isTabEnabled(i))
                offer(QKeySequence::mnemonic(t->tabText(i)), who(t, t->tabText(i)));
        }
    }
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets << window;
    for (const QWidget *w : widgets) {
        for (const QAction *a : w->actions()) {
            if (offering(w) && a->isEnabled()) {
                for (const QKeySequence &key : a->shortcuts())
                    offer(key, who(w, u"action "_s + key.toString()));
            }
        }
    }
    QStringList clashes;
    for (auto it = offered.cbegin(); it != offered.cend(); ++it) {
        if (it.value().size() > 1)
            clashes << it.key() + u": "_s + it.value().join(u", "_s);
    }
    return clashes;
}
