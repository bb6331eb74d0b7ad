#pragma once
#include <QString>

class IDialogs;

// The string table of the program's resources (101, 102). Returns "" for an unknown id.
QString LoadResString(int id);

// The shared procedures every subsystem reports through. One per main window, built
// over the dialogs it should use: `Globals g(dialogs); g.ShowError("...")`.
class Globals {
public:
    explicit Globals(IDialogs& dialogs) : m_dialogs(dialogs) {}

    // The shared error box: OK only, exclamation icon, titled with string 101.
    void ShowError(const QString& sMsg);
    IDialogs& Dialogs() const { return m_dialogs; }

private:
    IDialogs& m_dialogs;
};

// Resource ids of the string table.
namespace ResId {
constexpr int AppTitle = 101;
constexpr int RenameFailed = 102;
}
