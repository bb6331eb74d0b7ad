#pragma once
#include <QByteArray>
#include <cstddef>

// Writes all of the bytes to an open descriptor, going on after short writes and
// interrupted calls. Returns 0, or the errno of the write that failed.
int WriteAll(int fd, const char* data, size_t size);
int WriteAll(int fd, const QByteArray& data);
