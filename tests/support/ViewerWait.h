#pragma once
#include "frmFullScreen.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QThread>

// Waits until the viewer has shown, or failed on, the picture it asked for last (it loads
// on a worker); true at once for a viewer that is gone. Unlike QTest::qWaitFor it leaves
// deferred deletes alone, so a viewer that failed is still there to be looked at.
inline bool loaded(QPointer<frmFullScreen> viewer)
{
    const QDeadlineTimer deadline(10000);
    while (viewer && viewer->IsLoading() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(1);
    }
    return !viewer || !viewer->IsLoading();
}
