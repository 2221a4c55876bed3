#include "messagestore.h"

#include "keyertext.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

using namespace Qt::StringLiterals;

QString MessageStore::folder()
{
    return u"Messages"_s;
}

QString MessageStore::fileName(int number)
{
    return u"Messages/msg%1.txt"_s.arg(qBound(0, number, MessageCount - 1), 2, 10, QLatin1Char('0'));
}

QString MessageStore::wordListFile()
{
    return u"Messages/wordlist.txt"_s;
}

QString MessageStore::write(const QString &path, const QByteArray &bytes)
{
    if (!QDir().mkpath(folder()))
        return QFile::tr("The folder %1 cannot be created.").arg(QDir().absoluteFilePath(folder()));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return u"%1: %2"_s.arg(QDir().absoluteFilePath(path), file.errorString());
    return {};
}

QString MessageStore::readText(const QString &source, QByteArray *keyerBytes)
{
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        return u"%1: %2"_s.arg(source, file.errorString());
    *keyerBytes = KeyerText::fromText(KeyerText::decode(file.readAll()));
    return {};
}
