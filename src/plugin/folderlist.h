#pragma once

#include "pluginapi.h"

namespace lintover {

// The work of EntryPoint12: copies the argument into the working buffer, asks
// the host for "<InstallDir>" and puts its value in place of every placeholder,
// then opens up each "|"-separated folder in order. An argument that does not
// fit the working buffer, before or after expansion, opens up nothing.
// Always returns 1: the host is never told of a failure.
int openUpFolderList(const char *argument, VariableSource &host, FolderSearch &search,
                     SecurityFunctions &security);

} // namespace lintover
