#pragma once
#include <QString>

// The two file changes the commands make: a rename or move that never replaces a file,
// and a move to the desktop trash. Commands go through this interface so that tests can
// make each step fail; FileOperations is the real one.
class IFileOperations {
public:
    virtual ~IFileOperations() = default;

    // Renames or moves `oldPath` to `newPath`, also across file systems. Never replaces
    // an existing file; throws AppError (58 when the target exists, 53 when the source
    // does not, 75/76 for access and path failures) and leaves the source as it was.
    virtual void Rename(const QString& oldPath, const QString& newPath) = 0;
    // Moves the file to the desktop trash, from where the user can restore it. Throws
    // AppError when the trash cannot take it; the file is then left where it is.
    virtual void MoveToTrash(const QString& path) = 0;
};

// Error numbers of file operations that the platform's common list does not carry.
namespace FileErrNo {
constexpr int DeviceIO = 57;
constexpr int FileAlreadyExists = 58;
constexpr int DiskFull = 61;
}
