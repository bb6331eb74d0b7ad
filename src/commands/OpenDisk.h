#pragma once
#include <QString>
#include <cstdint>
#include <functional>

class MenuTree;

// The "Open Disk" items: which drive items the File menu shows, and the root path an
// item jumps to. Stateless; the main window calls the static functions.
class OpenDisk {
public:
    // Runs as the File menu opens: makes mnuDisk(i) visible for each drive bit set in
    // lMask (bit 0 = A). Items are only ever shown, never hidden; bits without an item
    // (B, G to Z) are ignored. The mask is signed, as the system reads it: with the top
    // bit set it is negative and shows nothing.
    static void UpdateDriveItems(const MenuTree& menus, std::int32_t lMask);

    // The root of drive number Index: "A:\" for 0, "C:\" for 2.
    static QString DriveRoot(int Index);
    // mnuDisk_Click: hands the drive's root to SetFolder unchanged. No such folder exists
    // on Linux, so SetFolder reports the drive as not ready, as for a missing drive.
    static void mnuDisk_Click(int Index, const std::function<void(const QString&)>& SetFolder);
};
