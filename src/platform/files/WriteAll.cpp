#include "WriteAll.h"

#include <cerrno>
#include <unistd.h>

int WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += n;
        size -= size_t(n);
    }
    return 0;
}

int WriteAll(int fd, const QByteArray& data)
{
    return WriteAll(fd, data.constData(), size_t(data.size()));
}
