#include "messageload.h"

#include "messagestore.h"

#include <QFile>
#include <QFileInfo>

MessageLoad::Survey MessageLoad::survey()
{
    Survey survey;
    for (int i = 0; i < MessageStore::MessageCount; ++i) {
        const QFileInfo file(MessageStore::fileName(i));
        if (!file.isFile())
            continue;
        survey.total += file.size() + 1;
        survey.present.append(i);
    }
    return survey;
}

qint64 MessageLoad::totalWith(int number, qint64 length)
{
    qint64 total = survey().total + length + 1;
    if (const QFileInfo old(MessageStore::fileName(number)); old.isFile())
        total -= old.size() + 1;
    return total;
}

QByteArray MessageLoad::piece(int number, const QByteArray &fileBytes)
{
    QByteArray part;
    if (number > 0)
        part = '<' + QByteArray::number(number).rightJustified(2, '0') + '>';
    const qsizetype nul = fileBytes.indexOf('\0');
    part += nul >= 0 ? fileBytes.first(nul) : fileBytes;
    part += '\0';
    return part;
}

bool MessageLoad::next(QByteArray *part)
{
    while (m_position < m_survey.present.size()) {
        const int number = m_survey.present.at(m_position++);
        QFile file(MessageStore::fileName(number));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        *part = piece(number, file.readAll());
        return true;
    }
    if (m_ended)
        return false;
    m_ended = true;
    *part = QByteArray(1, '\0');
    return true;
}
