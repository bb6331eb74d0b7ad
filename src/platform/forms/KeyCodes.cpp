#include "KeyCodes.h"

#include <QHash>

namespace {

// Keys whose code does not follow from their character.
const QHash<int, short>& namedKeys()
{
    static const QHash<int, short> table = {
        {Qt::Key_Backspace, 8},   {Qt::Key_Tab, 9},        {Qt::Key_Backtab, 9},
        {Qt::Key_Clear, 12},      {Qt::Key_Return, KeyCodes::Enter},  {Qt::Key_Enter, KeyCodes::Enter},
        {Qt::Key_Shift, 16},      {Qt::Key_Control, 17},   {Qt::Key_Alt, 18},
        {Qt::Key_AltGr, 18},      {Qt::Key_Pause, 19},     {Qt::Key_CapsLock, 20},
        {Qt::Key_Escape, KeyCodes::Esc},     {Qt::Key_Space, 32},
        {Qt::Key_PageUp, KeyCodes::PageUp},  {Qt::Key_PageDown, KeyCodes::PageDown},
        {Qt::Key_End, 35},        {Qt::Key_Home, 36},      {Qt::Key_Left, 37},
        {Qt::Key_Up, KeyCodes::Up},          {Qt::Key_Right, 39},     {Qt::Key_Down, KeyCodes::Down},
        {Qt::Key_Select, 41},     {Qt::Key_Printer, 42},
        {Qt::Key_Execute, 43},    {Qt::Key_Print, 44},     {Qt::Key_Insert, 45},
        {Qt::Key_Delete, 46},     {Qt::Key_Help, 47},      {Qt::Key_Meta, 91},
        {Qt::Key_Super_L, 91},    {Qt::Key_Super_R, 92},   {Qt::Key_Menu, 93},
        {Qt::Key_Sleep, 95},      {Qt::Key_NumLock, 144},  {Qt::Key_ScrollLock, 145},
        // Punctuation, with the shifted symbol of the same US key beside it.
        {Qt::Key_Semicolon, 186}, {Qt::Key_Colon, 186},    {Qt::Key_Equal, 187},
        {Qt::Key_Plus, 187},      {Qt::Key_Comma, 188},    {Qt::Key_Less, 188},
        {Qt::Key_Minus, 189},     {Qt::Key_Underscore, 189}, {Qt::Key_Period, 190},
        {Qt::Key_Greater, 190},   {Qt::Key_Slash, 191},    {Qt::Key_Question, 191},
        {Qt::Key_QuoteLeft, 192}, {Qt::Key_AsciiTilde, 192}, {Qt::Key_BracketLeft, 219},
        {Qt::Key_BraceLeft, 219}, {Qt::Key_Backslash, 220}, {Qt::Key_Bar, 220},
        {Qt::Key_BracketRight, 221}, {Qt::Key_BraceRight, 221}, {Qt::Key_Apostrophe, 222},
        {Qt::Key_QuoteDbl, 222},
        // Shifted digits of a US keyboard.
        {Qt::Key_Exclam, '1'},    {Qt::Key_At, '2'},       {Qt::Key_NumberSign, '3'},
        {Qt::Key_Dollar, '4'},    {Qt::Key_Percent, '5'},  {Qt::Key_AsciiCircum, '6'},
        {Qt::Key_Ampersand, '7'}, {Qt::Key_Asterisk, '8'}, {Qt::Key_ParenLeft, '9'},
        {Qt::Key_ParenRight, '0'},
    };
    return table;
}

// The numeric pad's own codes, used when Qt says the key came from the keypad.
short keypadKey(int qtKey)
{
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return short(96 + (qtKey - Qt::Key_0));
    switch (qtKey) {
    case Qt::Key_Asterisk: return 106;
    case Qt::Key_Plus: return 107;
    case Qt::Key_Minus: return 109;
    case Qt::Key_Period:
    case Qt::Key_Comma: return 110;
    case Qt::Key_Slash: return 111;
    default: return 0;
    }
}

}

short VirtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        if (const short code = keypadKey(qtKey))
            return code;
    }
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return short(qtKey); // Qt's codes for these are their uppercase ASCII codes
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return short(112 + (qtKey - Qt::Key_F1));
    return namedKeys().value(qtKey, 0);
}
