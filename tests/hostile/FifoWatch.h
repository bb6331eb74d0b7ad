#pragma once
#include <QtCore>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// Proves that no FIFO is ever opened for reading. A thread keeps opening each watched FIFO
// for writing without blocking: that only succeeds while some reader holds it open (one
// blocked in open(2) included), so it catches the reader in the act, and closing our end
// at once hands a blocked reader end-of-file instead of leaving the program hung. Create
// one per test, Watch() every FIFO the test makes, and check Violations() at the end.
class FifoWatch {
public:
    FifoWatch() : m_thread([this] { run(); }) {}
    ~FifoWatch()
    {
        m_stop = true;
        m_thread.join();
    }
    void Watch(const QByteArray& path)
    {
        QMutexLocker lock(&m_mutex);
        m_paths.push_back(path);
    }
    // The FIFOs found open for reading so far.
    QStringList Violations() const
    {
        QMutexLocker lock(&m_mutex);
        return m_violations;
    }

private:
    void run()
    {
        while (!m_stop) {
            QMutexLocker lock(&m_mutex);
            for (const QByteArray& path : m_paths) {
                const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd < 0)
                    continue;  // ENXIO: no reader; ENOENT: renamed or gone
                struct stat st {};
                if (::fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode))  // else the name now holds something else
                    m_violations.push_back(QFile::decodeName(path));
                ::close(fd);
            }
            lock.unlock();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    mutable QMutex m_mutex;
    QList<QByteArray> m_paths;
    QStringList m_violations;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
