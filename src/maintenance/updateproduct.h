#pragma once

#include <QString>

// What the manager and the trainer fetch, store and load: file names in
// Updates and Backup, paths on the download server, and the few rules in
// which the two programs differ.
struct UpdateProduct
{
    QString installer;     // "krvupdate.exe"
    QString installerOld;  // "krvupdate.old", the swap name during back-out
    QString firmware;      // "morlanda.hex"
    QString firmwareOld;   // "morlanda.old"
    QString versionPath;   // "/krvversion.txt"
    QString installerPath; // "/krvupdate.exe"
    QString firmwarePath;  // "/Morlanda.hex"
    // Both name the server in their settings (`DownloadServer`); the
    // manager refuses a version file of the wrong length as an unreachable
    // server, the trainer reports a failed connection.
    bool manager = true;
    // The manager exports and imports the settings; the trainer does not.
    bool settingsExport = true;

    static UpdateProduct krv();
    static UpdateProduct krt();
};
