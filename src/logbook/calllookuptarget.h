#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// Where a call is looked up: a web address the call is appended to, or a
// command line whose program gets the call as its last argument.
class CallLookupTarget
{
public:
    static const QString DefaultTarget;

    // An empty (blank) target is the default.
    explicit CallLookupTarget(const QString &target);

    QString text() const { return m_target; }
    // A target that begins with a scheme and "://".
    bool isWebAddress() const;
    // The address for a call; characters that would change the address's
    // meaning ("?", "#", blanks) are percent-encoded, "/" stays.
    QUrl url(const QString &call) const;
    // The program and its arguments, the call last; quotes group words as
    // a shell would, but no shell is involved.
    QString program() const;
    QStringList arguments(const QString &call) const;

private:
    QString m_target;
};
