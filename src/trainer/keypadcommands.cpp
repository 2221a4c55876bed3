#include "keypadcommands.h"

namespace KeypadCommands {

char characterFor(int key, Qt::KeyboardModifiers modifiers, bool keypadMode, bool millTextEmpty)
{
    switch (key) {
    case Qt::Key_Escape:
        return 0x02;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return millTextEmpty ? '\r' : 0;
    default:
        break;
    }
    if (modifiers & Qt::KeypadModifier) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            return char('0' + (key - Qt::Key_0));
        // The keypad's digit keys with Num Lock off.
        switch (key) {
        case Qt::Key_Insert: return '0';
        case Qt::Key_End: return '1';
        case Qt::Key_Down: return '2';
        case Qt::Key_PageDown: return '3';
        case Qt::Key_Left: return '4';
        case Qt::Key_Clear: return '5';
        case Qt::Key_Right: return '6';
        case Qt::Key_Home: return '7';
        case Qt::Key_Up: return '8';
        case Qt::Key_PageUp: return '9';
        case Qt::Key_Asterisk: return '*';
        case Qt::Key_Plus: return '+';
        case Qt::Key_Minus: return '-';
        case Qt::Key_Period:
        case Qt::Key_Delete: return '.';
        case Qt::Key_Slash: return '/';
        default: return 0;
        }
    }
    if (!keypadMode)
        return 0;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return char('0' + (key - Qt::Key_0));
    switch (key) {
    case Qt::Key_Equal:
    case Qt::Key_Plus: return '+';
    case Qt::Key_Minus: return '-';
    case Qt::Key_Period: return '.';
    case Qt::Key_Slash: return '/';
    case Qt::Key_Comma: return '*';
    default: return 0;
    }
}

} // namespace KeypadCommands
