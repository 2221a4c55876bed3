#pragma once

#include "pluginapi.h"

namespace lintover {

// Walks the "|"-separated folder entries of the argument text.
class EntrySplitter
{
public:
    explicit EntrySplitter(const char *text) : m_cursor(text ? text : "") {}

    // Copies the next entry into path. Empty entries are skipped, and so are
    // entries too long for the path limit (cutting one would name another
    // folder). False when no entry is left.
    bool next(char (&path)[PathLimit]);

private:
    const char *m_cursor;
};

} // namespace lintover
