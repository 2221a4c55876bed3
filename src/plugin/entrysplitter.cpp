#include "entrysplitter.h"

#include <cstddef>
#include <cstring>

namespace lintover {

bool EntrySplitter::next(char (&path)[PathLimit])
{
    while (*m_cursor != '\0') {
        const char *start = m_cursor;
        while (*m_cursor != '\0' && *m_cursor != EntrySeparator)
            ++m_cursor;
        const std::size_t length = static_cast<std::size_t>(m_cursor - start);
        if (*m_cursor == EntrySeparator)
            ++m_cursor;
        if (length == 0 || length >= PathLimit)
            continue;
        std::memcpy(path, start, length);
        path[length] = '\0';
        return true;
    }
    return false;
}

} // namespace lintover
