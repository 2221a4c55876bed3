#pragma once

#include "pluginapi.h"

#include <cstddef>

namespace lintover {

// The fixed 4096-byte copy of the argument text that the plug-in works on.
// Text that would not fit is refused as a whole, never cut: a cut path could
// name a different folder and open that one up instead.
class WorkingBuffer
{
public:
    static constexpr std::size_t Capacity = WorkingBufferSize - 1;

    // Copies a zero-terminated text; a null text counts as empty. False, and the
    // buffer empty, when the text is longer than Capacity.
    bool assign(const char *text);

    // Replaces every occurrence of placeholder by value, left to right; the
    // inserted value is not searched again. False, and the buffer empty, when
    // the result would be longer than Capacity.
    bool replaceAll(const char *placeholder, const char *value);

    const char *text() const { return m_text; }
    std::size_t length() const { return m_length; }

private:
    void clear();

    char m_text[WorkingBufferSize] = {};
    std::size_t m_length = 0;
};

} // namespace lintover
