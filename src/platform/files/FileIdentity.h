#pragma once
#include <QtGlobal>

struct stat;

// What identifies a file on its file system: all four must match, so that a reused inode,
// a hard link whose contents or time differ, or the same name rewritten or grown is never
// taken for the file that was seen. Comments find their image again by it after another
// program renamed it; a picture read earlier is trusted by it. Get one with Of(stat).
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 mtimeNs = 0;  // modification time in nanoseconds since the epoch

    static FileIdentity Of(const struct stat& st);
    bool operator==(const FileIdentity& o) const
    {
        return device == o.device && inode == o.inode && size == o.size && mtimeNs == o.mtimeNs;
    }
    bool operator!=(const FileIdentity& o) const { return !(*this == o); }
};
