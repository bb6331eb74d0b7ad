#include "OpenDisk.h"
#include "MenuTree.h"

#include <QAction>

void OpenDisk::UpdateDriveItems(const MenuTree& menus, std::int32_t lMask)
{
    int i = 0;
    while (lMask > 0) {
        if (lMask % 2 == 1) {
            if (QAction* item = menus.ArrayItem(QStringLiteral("mnuDisk"), i))
                item->setVisible(true);
        }
        lMask /= 2;
        ++i;
    }
}

QString OpenDisk::DriveRoot(int Index)
{
    return QString(QChar('A' + Index)) + QStringLiteral(":\\");
}

void OpenDisk::mnuDisk_Click(int Index, const std::function<void(const QString&)>& SetFolder)
{
    SetFolder(DriveRoot(Index));
}
