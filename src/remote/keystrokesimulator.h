#pragma once

#include "keyboardlayout.h"

#include <QList>
#include <QString>

// The records for a text, in typing order. records.size() is the batch's
// capacity (512, grown by 512 whenever fewer than 25 free places are left
// after a character); count of them are used, all of type keyboard.
struct KeyBatch
{
    static constexpr int InitialSize = 512;
    static constexpr int Growth = 512;
    static constexpr int Margin = 24;

    QList<KeyboardInput> records;
    int count = 0;
    int enlargements = 0;
};

// Per character: "~" is Enter; a character the layout has a key for is
// Shift (inverted for letters under Caps Lock), Ctrl+Alt for AltGr, key
// down, key up with its scan code, releases; anything else, or above code
// 255, is a Unicode press and release.
KeyBatch buildKeyBatch(const QString &text, const KeyboardLayout &layout);

// Types texts into the application that has the keyboard focus.
class KeyStrokeSimulator
{
public:
    explicit KeyStrokeSimulator(KeyboardPlatform &platform);

    // Builds the batch for the text against the layout of the moment and
    // injects it in one call, so no other input lands inside a word. False
    // with errorString() set when nothing could be typed.
    bool SendText(const QString &text);
    QString errorString() const { return m_error; }

private:
    KeyboardPlatform &m_platform;
    QString m_error;
};
