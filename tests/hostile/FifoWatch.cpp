#include "FifoWatch.h"

#include <QFile>

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FifoWatch::FifoWatch() : m_thread([this] { run(); }) {}

FifoWatch::~FifoWatch()
{
    m_stop = true;
    m_thread.join();
}

void FifoWatch::Watch(const QByteArray& path)
{
    QMutexLocker lock(&m_mutex);
    m_paths.push_back(path);
}

QStringList FifoWatch::Violations() const
{
    QMutexLocker lock(&m_mutex);
    return m_violations;
}

void FifoWatch::run()
{
    while (!m_stop) {
        QList<QByteArray> paths;
        {
            QMutexLocker lock(&m_mutex);
            paths = m_paths;
        }
        for (const QByteArray& path : paths) {
            const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0)
                continue;  // ENXIO: no reader; ENOENT: renamed or gone
            struct stat st {};
            const bool fifo = ::fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode);
            ::close(fd);
            if (!fifo)
                continue;  // the name now holds something else
            QMutexLocker lock(&m_mutex);
            m_violations.push_back(QFile::decodeName(path));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}
