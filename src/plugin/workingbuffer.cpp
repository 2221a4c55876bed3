#include "workingbuffer.h"

#include <cstring>

namespace lintover {

bool WorkingBuffer::assign(const char *text)
{
    clear();
    if (text == nullptr)
        return true;
    std::size_t length = 0;
    // Stop looking one past the capacity: the host's text may be much longer.
    while (length <= Capacity && text[length] != '\0')
        ++length;
    if (length > Capacity)
        return false;
    std::memcpy(m_text, text, length);
    m_text[length] = '\0';
    m_length = length;
    return true;
}

bool WorkingBuffer::replaceAll(const char *placeholder, const char *value)
{
    if (placeholder == nullptr || value == nullptr)
        return true;
    const std::size_t placeholderLength = std::strlen(placeholder);
    if (placeholderLength == 0)
        return true;
    const std::size_t valueLength = std::strlen(value);

    char result[WorkingBufferSize];
    std::size_t out = 0;
    std::size_t in = 0;
    while (in < m_length) {
        if (m_length - in >= placeholderLength
            && std::memcmp(m_text + in, placeholder, placeholderLength) == 0) {
            if (valueLength > Capacity - out) {
                clear();
                return false;
            }
            std::memcpy(result + out, value, valueLength);
            out += valueLength;
            in += placeholderLength;
        } else {
            if (out == Capacity) {
                clear();
                return false;
            }
            result[out++] = m_text[in++];
        }
    }
    std::memcpy(m_text, result, out);
    m_text[out] = '\0';
    m_length = out;
    return true;
}

void WorkingBuffer::clear()
{
    m_text[0] = '\0';
    m_length = 0;
}

} // namespace lintover
