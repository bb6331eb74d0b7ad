#include "DriveList.h"
#include "AppError.h"

#include <QDir>

DriveList::DriveList(const IFileSystem& fs, const QString& startFolder, QWidget* parent)
    : QComboBox(parent), m_fs(fs)
{
    RefreshVolumes();
    const int start = indexOfRoot(VolumeRootOf(m_volumes, QDir::cleanPath(startFolder)));
    setCurrentIndex(start < 0 ? 0 : start);
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_settingDrive)
            Q_EMIT Change();
    });
}

void DriveList::RefreshVolumes()
{
    const QString keep = currentIndex() >= 0 ? Drive() : QString();
    m_settingDrive = true;
    m_volumes = m_fs.Volumes();
    clear();
    for (const VolumeInfo& v : m_volumes)
        addItem(v.label.isEmpty() ? v.root : QStringLiteral("%1 [%2]").arg(v.root, v.label), v.root);
    const int again = indexOfRoot(keep);
    setCurrentIndex(again < 0 ? 0 : again);
    m_settingDrive = false;
}

QString DriveList::Drive() const
{
    return currentData().toString();
}

int DriveList::indexOfRoot(const QString& root) const
{
    for (int i = 0; i < count(); ++i)
        if (itemData(i).toString() == root)
            return i;
    return -1;
}

void DriveList::SetDrive(const QString& path)
{
    const QString root = VolumeRootOf(m_volumes, QDir::cleanPath(path));
    m_fs.CheckVolume(root);
    const int index = indexOfRoot(root);
    if (index < 0 || index == currentIndex())
        return;
    m_settingDrive = true;
    setCurrentIndex(index);
    m_settingDrive = false;
    Q_EMIT Change();
}
