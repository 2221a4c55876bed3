#include "folderopener.h"

#include <cstddef>
#include <cstring>

namespace lintover {

bool joinPath(char (&out)[PathLimit], const char *folder, const char *name)
{
    out[0] = '\0';
    const std::size_t folderLength = std::strlen(folder);
    const std::size_t nameLength = std::strlen(name);
    const bool needsSeparator = folderLength == 0 || folder[folderLength - 1] != '\\';
    const std::size_t separatorLength = needsSeparator ? 1 : 0;
    if (folderLength >= PathLimit || nameLength >= PathLimit
        || folderLength + separatorLength + nameLength >= PathLimit)
        return false;
    std::memcpy(out, folder, folderLength);
    if (needsSeparator)
        out[folderLength] = '\\';
    std::memcpy(out + folderLength + separatorLength, name, nameLength);
    out[folderLength + separatorLength + nameLength] = '\0';
    return true;
}

void FolderOpener::openUpFolder(const char *folder)
{
    openUpPath(folder);

    char pattern[PathLimit];
    if (!joinPath(pattern, folder, "*.*"))
        return;
    FoundEntry entry{};
    if (!m_search.first(pattern, entry))
        return;
    do {
        if ((entry.attributes & DirectoryAttribute) != 0)
            continue;
        char path[PathLimit];
        if (joinPath(path, folder, entry.name))
            openUpPath(path);
    } while (m_search.next(entry));
    m_search.close();
}

void FolderOpener::openUpPath(const char *path)
{
    if (!m_security.load())
        return;
    if (void *descriptor = m_security.allocateDescriptor()) {
        // A descriptor that failed to initialize is never applied.
        if (m_security.initializeSecurityDescriptor(descriptor, SecurityDescriptorRevision)
            && m_security.setSecurityDescriptorDacl(descriptor, false, nullptr, true))
            m_security.setFileSecurity(path, DaclSecurityInformation, descriptor);
        m_security.freeDescriptor(descriptor);
    }
    m_security.release();
}

} // namespace lintover
