#include "calllookuptarget.h"

#include <QProcess>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

const QString CallLookupTarget::DefaultTarget = u"https://www.qrz.com/db/"_s;

CallLookupTarget::CallLookupTarget(const QString &target)
    : m_target(target.trimmed().isEmpty() ? DefaultTarget : target.trimmed())
{
}

bool CallLookupTarget::isWebAddress() const
{
    static const QRegularExpression scheme(u"^[A-Za-z][A-Za-z0-9+.-]*://"_s);
    return scheme.match(m_target).hasMatch();
}

QUrl CallLookupTarget::url(const QString &call) const
{
    return QUrl(m_target + QString::fromLatin1(QUrl::toPercentEncoding(call.trimmed(), "/")));
}

QString CallLookupTarget::program() const
{
    const QStringList words = QProcess::splitCommand(m_target);
    return words.isEmpty() ? QString() : words.constFirst();
}

QStringList CallLookupTarget::arguments(const QString &call) const
{
    return QProcess::splitCommand(m_target).mid(1) << call.trimmed();
}
