#pragma once

#include <QStringList>
#include <QWidget>

class QLabel;
class QTextBrowser;

// The program's manual (Markdown built into the program, docs/manual in
// the source tree) in a window of its own, opened at a section. A
// section's anchor is its heading as a repository page spells it: lower
// case, punctuation dropped, blanks as "-" ("## Logbook tab" is
// "logbook-tab"), so that the links inside the manual work here and there.
class ManualWindow : public QWidget
{
    Q_OBJECT
public:
    // manual: the program's name, "krv" or "krt".
    explicit ManualWindow(const QString &manual, QWidget *parent = nullptr);

    // The manual window of owner (made on first use, one per owner), shown
    // and raised at anchor; note, when given, stands above the text.
    static ManualWindow *open(QWidget *owner, const QString &manual, const QString &anchor,
                              const QString &note = {});

    // Scrolls to anchor; an anchor the manual lacks shows its beginning.
    void showSection(const QString &anchor, const QString &note = {});
    // The anchor shown last; empty for the beginning.
    QString section() const { return m_section; }
    QString manual() const { return m_manual; }
    QStringList anchors() const { return m_anchors; }

    static QString anchorOf(const QString &heading);

private:
    QString m_manual;
    QString m_section;
    QStringList m_anchors;
    QLabel *m_note;
    QTextBrowser *m_text;
};
