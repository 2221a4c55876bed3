#include "keystrokesimulator.h"

#include <QStringView>

namespace {

class BatchWriter
{
public:
    BatchWriter(KeyBatch &batch, const KeyboardLayout &layout) : m_batch(batch), m_layout(layout) {}

    void character(char32_t code)
    {
        if (code > 255) {
            unicode(code);
            return;
        }
        int key = 0;
        if (code == U'~')
            key = VirtualKey::Enter;
        else
            key = m_layout.keyForCharacter(int(code));
        if (key < 0) {
            unicode(code);
            return;
        }
        const int state = (key >> 8) & 0xFF;
        bool shift = state & KeyboardLayout::ShiftState;
        const bool letter = (code >= U'A' && code <= U'Z') || (code >= U'a' && code <= U'z');
        if (letter && m_layout.capsLockOn())
            shift = !shift;
        const bool controlAlt = state & (KeyboardLayout::ControlState | KeyboardLayout::AltState);
        emitKey(quint16(key & 0xFF), shift, false, controlAlt);
    }

private:
    void append(quint16 virtualKey, quint32 scanCode, quint32 flags)
    {
        KeyboardInput &record = m_batch.records[m_batch.count++];
        record = KeyboardInput{};
        record.virtualKey = virtualKey;
        record.scanCode = scanCode;
        record.flags = flags;
    }

    void emitKey(quint16 virtualKey, bool shift, bool extended, bool controlAlt)
    {
        const quint32 extendedFlag = extended ? KeyboardInput::ExtendedKey : 0;
        if (shift)
            append(VirtualKey::Shift, 0, 0);
        if (controlAlt) {
            append(VirtualKey::Control, 0, 0);
            append(VirtualKey::Alt, 0, 0);
        }
        append(virtualKey, 0, extendedFlag);
        append(virtualKey, m_layout.scanCode(virtualKey), KeyboardInput::KeyUp | extendedFlag);
        if (controlAlt) {
            append(VirtualKey::Control, 0, KeyboardInput::KeyUp);
            append(VirtualKey::Alt, 0, KeyboardInput::KeyUp);
        }
        if (shift)
            append(VirtualKey::Shift, 0, KeyboardInput::KeyUp);
    }

    void unicode(char32_t code)
    {
        append(0, code, KeyboardInput::Unicode);
        append(0, code, KeyboardInput::Unicode | KeyboardInput::KeyUp);
    }

    KeyBatch &m_batch;
    const KeyboardLayout &m_layout;
};

} // namespace

KeyBatch buildKeyBatch(const QString &text, const KeyboardLayout &layout)
{
    KeyBatch batch;
    batch.records.resize(KeyBatch::InitialSize);
    BatchWriter writer(batch, layout);
    // By code point: a character outside the 16-bit range is one character
    // to type, not two halves.
    for (const char32_t code : QStringView(text).toUcs4()) {
        writer.character(code);
        // At most eight records per character: the margin keeps room for
        // the next one.
        if (batch.count >= int(batch.records.size()) - 1 - KeyBatch::Margin) {
            batch.records.resize(batch.records.size() + KeyBatch::Growth);
            ++batch.enlargements;
        }
    }
    for (int i = 0; i < batch.count; ++i)
        batch.records[i].type = KeyboardInput::TypeKeyboard;
    return batch;
}

KeyStrokeSimulator::KeyStrokeSimulator(KeyboardPlatform &platform) : m_platform(platform) {}

bool KeyStrokeSimulator::SendText(const QString &text)
{
    m_error.clear();
    const std::unique_ptr<KeyboardLayout> layout = m_platform.currentLayout();
    if (!layout) {
        m_error = m_platform.errorString();
        return false;
    }
    const KeyBatch batch = buildKeyBatch(text, *layout);
    if (batch.count < 1)
        return true;
    if (!m_platform.inject(batch.records.constData(), batch.count)) {
        m_error = m_platform.errorString();
        return false;
    }
    return true;
}
