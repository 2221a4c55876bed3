#pragma once

#include <QString>

class QWidget;

// Opening a file with the desktop's own program (View, Review, the
// manuals). A desktop without one for the file's type says so, and the
// operator can open the folder that holds it instead.
namespace DesktopOpen {

// Opens path; on failure tells the operator (see noHandler). True when a
// program was started.
bool open(QWidget *parent, const QString &path);
// The message for a file no program of the desktop opens, with an "Open
// Folder" button (and the path to copy when even that fails).
void noHandler(QWidget *parent, const QString &path);

} // namespace DesktopOpen
