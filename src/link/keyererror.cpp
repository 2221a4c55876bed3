#include "keyererror.h"

using namespace Qt::StringLiterals;

QString numberText(qint64 number)
{
    return number >= 0 ? u' ' + QString::number(number) : QString::number(number);
}

QString communicationFailedMessage(int number, QChar letter)
{
    return u"Communication with keyer failed - Error "_s + numberText(number) + letter;
}
