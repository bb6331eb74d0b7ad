#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>

// Root keys of the classic registry, by its numbers; only the file-type associations'
// root can be read here.
namespace RegistryKey {
constexpr std::uint32_t ClassesRoot = 0x80000000u;
}

// Reads a file-type association the way the classic registry reader did, answered from
// the freedesktop databases: the key ".ext" gives the MIME type that the shared MIME
// database assigns the extension; "<type>\Shell\Open\Command" gives the command line of
// that type's default application, "%1" standing for the file. Only the default value
// ("") of keys under RegistryKey::ClassesRoot can be read; anything missing gives "Error", and so does a
// value longer than 254 bytes. The environment (XDG_*, HOME, locale) is read afresh at
// every call.
QString GetRegValue(std::uint32_t hKey, const QString& sSubKey, const QString& sValueName);

// What a value comes back as through the reader's 255-byte buffer of blanks: "Error" when
// it needs more than 254 bytes and its terminator; otherwise the buffer with blanks cut
// from both ends and everything from the first NUL on dropped (so a leading blank of
// the value goes and a trailing one stays).
QString RegistryBufferText(const QString& value);

// The lookups behind GetRegValue, for callers that want them without the registry's
// limits. Stateless; call the static functions.
class Associations {
public:
    // The MIME type the shared MIME database gives an extension (".jpg"); "" when none.
    static QString MimeTypeForExtension(const QString& extension);
    // The open command of the default application of a MIME type (its aliases and parent
    // types tried next), "%1" standing for the file; "" when there is none.
    static QString DefaultOpenCommand(const QString& mimeType);

    // The mimeapps.list files in order of precedence, and the applications folders.
    static QStringList MimeAppsFiles();
    static QStringList ApplicationFolders();
    // The desktop file of an id ("org.example.View.desktop", "kde4-view.desktop" in a
    // kde4/ subfolder), "" when no applications folder has it.
    static QString FindDesktopFile(const QString& desktopId);
};
