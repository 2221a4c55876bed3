#pragma once

#include "pluginapi.h"

namespace lintover {

// Writes folder + "\" + name into out, leaving out the "\" when the folder
// already ends with one. False, and out empty, when the result would not fit
// the path limit.
bool joinPath(char (&out)[PathLimit], const char *folder, const char *name);

// Removes the access-control list of a folder and of every file directly in
// it. Sub-folders are not entered. Every failure is silent.
class FolderOpener
{
public:
    FolderOpener(FolderSearch &search, SecurityFunctions &security)
        : m_search(search), m_security(security) {}

    void openUpFolder(const char *folder);
    // Gives one path a descriptor without any access-control list, which lets
    // every user at it.
    void openUpPath(const char *path);

private:
    FolderSearch &m_search;
    SecurityFunctions &m_security;
};

} // namespace lintover
