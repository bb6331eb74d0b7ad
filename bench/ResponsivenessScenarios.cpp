#include "ResponsivenessScenarios.h"
#include "BenchServices.h"
#include "FileList.h"
#include "SelectionLoader.h"
#include "frmFileDir.h"
#include "frmFullScreen.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

namespace {

// Each read of the slow file system takes this long; a header read makes four (stat,
// open, header, EXIF block), as a file on a dying network share would.
constexpr int SlowReadMs = 200;
constexpr int ReadsPerHeader = 4;

// Runs the event loop until `done`, starting `start` from inside it, and returns the
// longest time the loop went without serving a 1 ms timer: how long the window froze.
double longestStallMs(const std::function<void()>& start, const std::function<bool()>& done, int timeoutMs = 30000)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    double worst = 0;
    QEventLoop loop;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        worst = std::max(worst, (now - last) / 1e6);
        last = now;
        if (done() || clock.elapsed() > timeoutMs)
            loop.quit();
    });
    tick.start(1);
    QTimer::singleShot(0, start);
    loop.exec();
    return worst;
}

double rssMB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096 / (1024.0 * 1024.0) : 0;
}

// Posts `presses` Down key presses at `perSecond` from another thread, as a held key's
// auto-repeat arrives whether or not the window keeps up, then Esc. Returns the ms from
// the Esc being posted to `hidden()` answering true; samples the process's memory.
// `memory`, when given, gets the process's resident MB sampled through the run.
double escAfterKeyRepeatMs(QWidget& target, const std::function<bool()>& hidden, int presses, int perSecond,
                           std::vector<double>* memory = nullptr)
{
    // Made here: a key event's first construction sets up the keyboard device, which
    // belongs to this thread.
    std::vector<QKeyEvent*> keys;
    for (int i = 0; i < presses; ++i) {
        keys.push_back(new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier));
        keys.push_back(new QKeyEvent(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier));
    }
    keys.push_back(new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    std::atomic<qint64> escPostedNs{-1};
    QElapsedTimer clock;
    clock.start();
    std::thread sender([&] {
        for (int i = 0; i < presses; ++i) {
            QCoreApplication::postEvent(&target, keys[size_t(2 * i)]);
            QCoreApplication::postEvent(&target, keys[size_t(2 * i + 1)]);
            std::this_thread::sleep_for(std::chrono::milliseconds(1000 / perSecond));
        }
        escPostedNs = clock.nsecsElapsed();
        QCoreApplication::postEvent(&target, keys.back());
    });
    QTimer sampler;
    if (memory)
        QObject::connect(&sampler, &QTimer::timeout, [memory] { memory->push_back(rssMB()); });
    sampler.start(100);
    const bool ok = WaitUntil([&] { return escPostedNs >= 0 && hidden(); });
    const qint64 hiddenNs = clock.nsecsElapsed();
    sender.join();
    return ok ? (hiddenNs - escPostedNs) / 1e6 : -1;
}

// The floor for Esc: a bare window that hides on Esc and ignores every other key.
class BareWindow : public QWidget {
protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape)
            hide();
    }
};

void slowFileRow(std::vector<BenchResult>& results, BenchServices& services, const QString& folder)
{
    auto form = services.OpenMainWindow(folder);
    form->Selection().SetPictureSource([](const QString& path, double dpiX, double dpiY) {
        QThread::msleep(SlowReadMs * ReadsPerHeader);
        return SelectionLoader::ReadPicture(path, dpiX, dpiY);
    });
    int next = 0;
    const auto captioned = [&] { return form->windowTitle().startsWith(form->CurrentFile() + QStringLiteral("   - ")); };
    results.push_back(RunMeasured(
        "ui_stall_slow_file", "ms", 5,
        [&] {
            next = 1 - next;
            return longestStallMs([&] { form->flbFiles->SetListIndex(next); }, captioned);
        },
        [&] {
            // The same wait with nothing to do: what this machine's event loop jitters anyway.
            QElapsedTimer wait;
            wait.start();
            return longestStallMs([] {}, [&] { return wait.elapsed() >= SlowReadMs * ReadsPerHeader; });
        },
        {BenchTarget::Ours, 50}));
}

void keyRepeatRow(std::vector<BenchResult>& results, BenchServices& services, const QString& folder)
{
    auto form = services.OpenMainWindow(folder);
    std::vector<double> memory;
    results.push_back(RunMeasured(
        "viewer_key_repeat", "ms", 3,
        [&] {
            form->flbFiles->SetListIndex(0);
            form->mnuFullScreen_Click();
            QPointer<frmFullScreen> viewer = form->Viewer();
            WaitUntil([&] { return viewer && viewer->isVisible() && !viewer->IsLoading(); }, 10000);
            if (!viewer)
                return -1.0;
            memory.clear();
            return escAfterKeyRepeatMs(*viewer, [&] { return !viewer || viewer->isHidden(); }, 150, 30, &memory);
        },
        [&] {
            BareWindow bare;
            bare.show();
            return escAfterKeyRepeatMs(bare, [&] { return bare.isHidden(); }, 150, 30);
        },
        {BenchTarget::Ours, 100}));
    // Flat means no queue grows: the last second of the last run peaks no higher than its second second.
    if (memory.size() >= 20) {
        const auto peakOf = [&](size_t from, size_t to) { return *std::max_element(memory.begin() + from, memory.begin() + to); };
        std::printf("viewer_key_repeat: resident memory peaks at %.1f MB in the run's second second, %.1f MB in its "
                    "last, %.1f MB overall\n",
                    peakOf(10, 20), peakOf(memory.size() - 10, memory.size()), peakOf(0, memory.size()));
    }
}

}

void ResponsivenessScenarios::Run(std::vector<BenchResult>& results, BenchServices& services, const QString& folder)
{
    slowFileRow(results, services, folder);
    keyRepeatRow(results, services, folder);
}
