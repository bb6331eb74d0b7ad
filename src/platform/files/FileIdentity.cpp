#include "FileIdentity.h"

#include <sys/stat.h>

FileIdentity FileIdentity::Of(const struct stat& st)
{
    return FileIdentity{quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
                        qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}
