#pragma once
#include <QHash>
#include <QString>
#include <QStringList>

// One group of keys of a file in the freedesktop key file format, which desktop entries,
// mimeapps.list and mimeinfo.cache share. Values stay as written (escapes intact); the
// first of duplicated keys or groups wins. Pure over text, so it can be fuzzed.
using KeyFileGroup = QHash<QString, QString>;
// With Qt::CaseInsensitive the keys come lower-cased, the first spelling in the file winning.
KeyFileGroup ReadKeyFileGroup(const QString& text, const QString& group,
                              Qt::CaseSensitivity keyCase = Qt::CaseSensitive);
// Undoes the string escapes \s \n \t \r \\ of a value.
QString UnescapeKeyFileValue(const QString& value);
// Splits a list value ("a.desktop;b.desktop;") at each ';' that no backslash escapes.
QStringList SplitKeyFileList(const QString& value);

// An application's desktop entry, read from the text of its .desktop file. Get one with
// DesktopEntry::Parse(text, path); OpenCommand() gives the command line that opens a
// file, "%1" standing for it.
class DesktopEntry {
public:
    static DesktopEntry Parse(const QString& text, const QString& location);

    // A launchable application: Type=Application, not Hidden, with an Exec line.
    bool IsApplication() const;
    QString Exec() const { return m_exec; }
    QString TryExec() const { return m_tryExec; }
    QString Icon() const { return m_icon; }
    // The Name for a locale as the environment spells it ("de_DE.UTF-8@euro").
    QString Name(const QString& locale) const;
    // The association's open command; false when the Exec line is unusable.
    bool OpenCommand(const QString& locale, QString& command) const;

private:
    KeyFileGroup m_keys;
    QString m_location;
    QString m_exec;
    QString m_tryExec;
    QString m_icon;
};
