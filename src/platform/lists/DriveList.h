#pragma once
#include "IFileSystem.h"

#include <QComboBox>

// The drive list: the mounted volumes, shown by root path and label. Drive is the
// root path of the selected volume; setting it to any path selects the volume that
// holds the path and raises Change (only when the volume changes).
class DriveList : public QComboBox {
    Q_OBJECT
public:
    DriveList(const IFileSystem& fs, const QString& startFolder, QWidget* parent = nullptr);

    QString Drive() const;
    // Throws AppError, selecting nothing, when the volume that holds `path` cannot be read.
    void SetDrive(const QString& path);
    // Re-reads the mounted volumes (a stick plugged in), keeping the selection.
    void RefreshVolumes();

Q_SIGNALS:
    void Change();

private:
    int indexOfRoot(const QString& root) const;

    const IFileSystem& m_fs;
    std::vector<VolumeInfo> m_volumes;
    bool m_settingDrive = false;
};
