#include "folderlist.h"

#include "entrysplitter.h"
#include "folderopener.h"
#include "workingbuffer.h"

namespace lintover {

int openUpFolderList(const char *argument, VariableSource &host, FolderSearch &search,
                     SecurityFunctions &security)
{
    WorkingBuffer buffer;
    if (!buffer.assign(argument))
        return 1;
    const char *installDir = host.value(InstallDirPlaceholder);
    if (installDir != nullptr && !buffer.replaceAll(InstallDirPlaceholder, installDir))
        return 1;

    FolderOpener opener(search, security);
    EntrySplitter entries(buffer.text());
    char folder[PathLimit];
    while (entries.next(folder))
        opener.openUpFolder(folder);
    return 1;
}

} // namespace lintover
