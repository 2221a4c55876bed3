#include "versionrules.h"

#include "settingsstore.h"

using namespace Qt::StringLiterals;

namespace VersionRules {

QString programVersionLabel()
{
    return u"V.%1.%2.%3"_s.arg(ProgramMajor).arg(ProgramMinor).arg(ProgramRevision);
}

bool operatingSystemSupported(int platformId, int major, int minor, bool *windows2000)
{
    if (windows2000)
        *windows2000 = platformId == 2 && major == 5 && minor == 0;
    if (platformId == 1)
        return false;
    if (platformId == 2 && major < 5)
        return false;
    return true;
}

QString managerFirmwareMessage(const QByteArray &versionField, const QByteArray &build)
{
    const int version = decimalValue(QString::fromLatin1(versionField));
    if (version != ProgramMajor * 10 + ProgramMinor)
        return u"The software and the keyer firmware both have to be version %1.%2.x"_s.arg(ProgramMajor).arg(ProgramMinor);
    if (versionField == "41" && decimalValue(QString::fromLatin1(build)) < 10)
        return u"Firmware must be version 4.1.10 or higher"_s;
    return {};
}

QString trainerFirmwareMessage(const QByteArray &versionDigits)
{
    if (decimalValue(QString::fromLatin1(versionDigits)) >= ProgramMajor * 10 + ProgramMinor)
        return {};
    return u"The trainer firmware has to be version %1.%2.00 or higher"_s.arg(ProgramMajor).arg(ProgramMinor);
}

int updateStamp(const QDate &date)
{
    return date.year() * 100 + date.month();
}

bool updateReminderDue(int lastUpdate, const QDate &today)
{
    return lastUpdate < updateStamp(today);
}

} // namespace VersionRules
