#pragma once
#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QStringList>

#include <atomic>
#include <thread>

// Proves that no FIFO is ever opened for reading. A thread keeps opening each watched FIFO
// for writing without blocking: that only succeeds while some reader holds it open (one
// blocked in open(2) included), so it catches the reader in the act, and closing our end
// at once hands a blocked reader end-of-file instead of leaving the program hung. Create
// one per test, Watch() every FIFO the test makes, and check Violations() at the end.
class FifoWatch {
public:
    FifoWatch();
    ~FifoWatch();
    void Watch(const QByteArray& path);
    // The FIFOs found open for reading so far.
    QStringList Violations() const;

private:
    void run();

    mutable QMutex m_mutex;
    QList<QByteArray> m_paths;
    QStringList m_violations;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
