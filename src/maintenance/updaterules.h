#pragma once

#include <QByteArray>
#include <QString>

// The pure rules of the update check: the server's version file, when the
// program or the keyer firmware is outdated, which bytes are a valid
// download, and the published SHA-256 sums.
namespace UpdateRules {

// The 9-digit version file: program major, minor, two-digit revision, one
// unused digit, the two firmware numbers of two digits each.
struct VersionFile
{
    int major = 0;
    int minor = 0;
    int revision = 0;
    int firmwareFirst = 0;
    int firmwareSecond = 0;
};

// False unless the text is exactly nine digits. A line end after them is
// dropped first: a file saved by an editor ends with one.
bool parseVersionFile(const QByteArray &text, VersionFile *file);

bool programOutdated(const VersionFile &server, int major, int minor, int revision);
bool firmwareOutdated(const VersionFile &server, int keyerFirst, int keyerSecond);

// An installer this platform can run: "MZ" on Windows; an ELF program or a
// "#!" script elsewhere.
bool isInstaller(const QByteArray &bytes);

// The lower-case hex digest at the start of a ".sha256" file ("digest" or
// "digest  name"); empty when the text holds none.
QByteArray publishedDigest(const QByteArray &text);
QByteArray sha256Hex(const QByteArray &bytes);

// "Windows" in the messages, or the name of the platform we run on.
QString platformName();

} // namespace UpdateRules
