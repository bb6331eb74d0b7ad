#pragma once
#include "IFileSystem.h"

// The real file system: volumes from QStorageInfo (without the kernel's virtual file
// systems), folders and files read with opendir/readdir for speed on huge folders.
class LocalFileSystem : public IFileSystem {
public:
    std::vector<VolumeInfo> Volumes() const override;
    void CheckVolume(const QString& root) const override;
    void CheckFolder(const QString& path) const override;
    std::vector<std::string> Subfolders(const QString& path) const override;
    std::vector<std::string> FileNames(const QString& path) const override;
};
