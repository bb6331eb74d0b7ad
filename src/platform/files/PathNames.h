#pragma once
#include <QString>

// Small rules on the path names the program builds and hands to the file system, kept
// in one place so that every layer builds and checks them alike.

// The folder, one "/" and the name. The separator is always inserted, also after a root
// folder: "/" gives "//name", the key under which comments of such files are kept.
QString JoinPath(const QString& folder, const QString& name);

// Whether Qt decoded the name lossily, so that encoded again it would not reach the file
// it came from: it holds the replacement character U+FFFD (which also cannot be told
// apart from a real U+FFFD in another file's name), or its encoded form holds a NUL,
// where the system would cut it short. Such a name is never opened, renamed or run.
bool IsLossilyDecodedName(const QString& name);
