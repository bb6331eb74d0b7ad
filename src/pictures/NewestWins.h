#pragma once
#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <utility>

// Runs work on its own worker threads for a window that must never wait for it, where
// only the newest request counts: Next() makes every earlier ticket stale, a stale job
// that has not started is skipped, and what a stale job produced is dropped instead of
// delivered. Holding a key down thus runs at most as many jobs as there are threads,
// however many requests the key sends. Create one per client on the thread that takes
// the results; Run's `deliver` is called there, for the current ticket only.
class NewestWins : public QObject {
public:
    explicit NewestWins(int threads = 1, QObject* parent = nullptr);
    // Makes everything stale and waits for jobs under way (a job cannot be interrupted).
    ~NewestWins() override;

    quint64 Next() { return ++m_latest; }
    void Cancel() { ++m_latest; }
    bool IsCurrent(quint64 ticket) const { return ticket == m_latest; }

    // Runs `work()` on a worker, then `deliver(result)` on this object's thread, both only
    // while `ticket` is current.
    template <typename Work, typename Deliver>
    void Run(quint64 ticket, Work work, Deliver deliver)
    {
        m_pool.start([this, ticket, work = std::move(work), deliver = std::move(deliver)]() mutable {
            if (!IsCurrent(ticket))
                return;
            auto result = work();
            if (!IsCurrent(ticket))
                return;
            // Queued to this object's thread; a call still queued when it is destroyed is dropped.
            QMetaObject::invokeMethod(
                this,
                [this, ticket, deliver = std::move(deliver), result = std::move(result)]() mutable {
                    if (IsCurrent(ticket))
                        deliver(std::move(result));
                },
                Qt::QueuedConnection);
        });
    }

private:
    QThreadPool m_pool;
    std::atomic<quint64> m_latest{0};
};
