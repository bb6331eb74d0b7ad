#pragma once
#include <QString>
#include <QStringList>

// The command lines of desktop entries (the Exec key): splitting into arguments by the
// quoting rules, quoting arguments back into a line, and turning an Exec line into the
// association's open command, in which "%1" stands for the file. Pure functions over
// strings, so they can be tested and fuzzed without any file system.
namespace ExecLine {

// Splits a command line (its string escapes already undone) into arguments: blanks and
// tabs separate; a double-quoted part is taken literally except that \" \` \$ \\ give
// the character. Outside quotes every character stands for itself; nothing is ever
// interpreted as a shell would. Returns false for an unterminated quote.
bool Split(const QString& commandLine, QStringList& arguments);

// The inverse of Split: quotes every argument that needs it, so that Split gives the
// same list back.
QString Join(const QStringList& arguments);

// What the field codes %i, %c and %k stand for in one desktop entry.
struct FieldValues {
    QString icon;      // the Icon key, "" when the entry has none
    QString name;      // the entry's (localised) Name
    QString location;  // the desktop file's path
};

// The open command for an Exec line: split, each file or URL code (%f %F %u %U) written
// as "%1", %% as %, %i as "--icon" and the icon (dropped without one), %c as the name,
// %k as the location; the deprecated and unknown codes dropped. An argument that
// consisted of codes that expanded to nothing is dropped whole. Returns false when the
// line cannot be split or holds no program.
bool CommandFromExec(const QString& exec, const FieldValues& values, QString& command);

}
