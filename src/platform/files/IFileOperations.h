#pragma once
#include "AppError.h"

#include <QString>

// The two file changes the commands make: a rename or move that never replaces a file,
// and a move to the desktop trash. Commands go through this interface so that tests can
// make each step fail; FileOperations is the real one.
class IFileOperations {
public:
    virtual ~IFileOperations() = default;

    // Renames or moves `oldPath` to `newPath`, also across file systems. Never replaces
    // an existing file; throws AppError (ErrNo::FileAlreadyExists when the target exists,
    // FileNotFound when the source does not, PathFileAccess and PathNotFound for access
    // and path failures) and leaves the source as it was.
    virtual void Rename(const QString& oldPath, const QString& newPath) = 0;
    // Moves the file to the desktop trash, from where the user can restore it. Throws
    // AppError when the trash cannot take it; the file is then left where it is.
    virtual void MoveToTrash(const QString& path) = 0;
};

// The error numbers peculiar to file operations, under the name callers know them by.
namespace FileErrNo {
using ErrNo::DeviceIO;
using ErrNo::DiskFull;
using ErrNo::FileAlreadyExists;
}
