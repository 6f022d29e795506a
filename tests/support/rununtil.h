// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TESTS_RUNUNTIL_H
#define TESTS_RUNUNTIL_H

#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <functional>

// Runs the event loop until `done` holds or `timeoutMs` has passed; true if it holds.
// Unlike QTest::qWait, which sleeps between its passes, this lets a 1 ms timer tick at
// its own pace.
inline bool runUntil(const std::function<bool()> &done, int timeoutMs = 60000)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    poll.start(1);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return done();
}

#endif // TESTS_RUNUNTIL_H
