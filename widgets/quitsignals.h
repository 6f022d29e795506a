// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef QUITSIGNALS_H
#define QUITSIGNALS_H

#include <QtGlobal>

#include <memory>

class QSocketNotifier;

// Ends the program through its event loop on SIGTERM, SIGHUP and SIGINT (a logout, a closed
// terminal, Ctrl+C), as quitting does: every window is closed and work on a file abandoned.
// A signal the program was started to ignore (nohup, a background job) stays ignored. The
// handler only writes into a pipe; a second signal before the loop has ended runs
// `lastResort`, which may call only what a signal handler may, and ends the program at once.
// Made on the thread of the event loop, which the handler runs on; one at a time.
class QuitSignals {
public:
    using LastResort = void (*)() noexcept;

    explicit QuitSignals(LastResort lastResort = nullptr);
    ~QuitSignals();
    QuitSignals(const QuitSignals &) = delete;
    QuitSignals &operator=(const QuitSignals &) = delete;

    // Ends the process by the signal that ended its event loop, as if it had not been
    // caught, so that whoever started it sees the usual status. Returns if none came.
    static void endAsReceived();

private:
    void quit();

    std::unique_ptr<QSocketNotifier> m_notifier;
};

#endif // QUITSIGNALS_H
