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

    // Style codes: 0 OK; 48 OK + warning icon; 65 OK/Cancel + information icon.
    // An empty title means the application's title.
    virtual int MsgBox(const QString& text, int style, const QString& title) = 0;
    // Returns the typed text, or "" when cancelled.
    virtual QString InputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
};

// The title a message box carries when it has none of its own.
inline QString ApplicationTitle() { return QStringLiteral("Tessel Image Browser"); }
