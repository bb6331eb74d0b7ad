#pragma once
#include <QString>

// The modal message box and text prompt. Logic asks through this interface so that
// tests can answer from a script; QtDialogs shows the real boxes.
class IDialogs {
public:
    virtual ~IDialogs() = default;

    // Answer codes of MsgBox.
    static constexpr int vbOK = 1;
    static constexpr int vbCancel = 2;

    // Style codes of MsgBox: one button set plus one icon, added together.
    static constexpr int vbOKOnly = 0;
    static constexpr int vbOKCancel = 1;
    static constexpr int vbCritical = 16;
    static constexpr int vbQuestion = 32;
    static constexpr int vbExclamation = 48;
    static constexpr int vbInformation = 64;
    // The parts of a style that pick the buttons and the icon.
    static constexpr int ButtonsMask = 0x0F;
    static constexpr int IconMask = 0xF0;

    // Shows text with the buttons and icon of `style`; an empty title means the
    // application's title.
    virtual int MsgBox(const QString& text, int style, const QString& title) = 0;
    // Returns the typed text, or "" when cancelled.
    virtual QString InputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
};

// The title a message box carries when it has none of its own.
inline QString ApplicationTitle() { return QStringLiteral("Tessel Image Browser"); }
