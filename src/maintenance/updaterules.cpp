#include "updaterules.h"

#include <QByteArrayList>
#include <QCryptographicHash>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace UpdateRules {

namespace {

int number(const QByteArray &text, int from, int count)
{
    return text.mid(from, count).toInt();
}

} // namespace

bool parseVersionFile(const QByteArray &text, VersionFile *file)
{
    QByteArray digits = text;
    while (digits.endsWith('\n') || digits.endsWith('\r'))
        digits.chop(1);
    if (digits.size() != 9 || !std::all_of(digits.cbegin(), digits.cend(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    *file = {number(digits, 0, 1), number(digits, 1, 1), number(digits, 2, 2), number(digits, 5, 2),
             number(digits, 7, 2)};
    return true;
}

bool programOutdated(const VersionFile &server, int major, int minor, int revision)
{
    if (server.major != major)
        return server.major > major;
    if (server.minor != minor)
        return server.minor > minor;
    return server.revision > revision;
}

bool firmwareOutdated(const VersionFile &server, int keyerFirst, int keyerSecond)
{
    if (server.firmwareFirst != keyerFirst)
        return server.firmwareFirst > keyerFirst;
    return server.firmwareSecond > keyerSecond;
}

bool isInstaller(const QByteArray &bytes)
{
#ifdef Q_OS_WIN
    return bytes.startsWith("MZ");
#else
    return bytes.startsWith("\x7f" "ELF") || bytes.startsWith("#!");
#endif
}

QByteArray publishedDigest(const QByteArray &text)
{
    const QByteArray digest = text.simplified().split(' ').value(0).toLower();
    const bool hex = std::all_of(digest.cbegin(), digest.cend(),
                                 [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
    return digest.size() == 64 && hex ? digest : QByteArray();
}

QByteArray sha256Hex(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

QString platformName()
{
#if defined(Q_OS_WIN)
    return u"Windows"_s;
#elif defined(Q_OS_MACOS)
    return u"macOS"_s;
#else
    return u"Linux"_s;
#endif
}

} // namespace UpdateRules
