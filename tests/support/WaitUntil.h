// SPDX-License-Identifier: MIT
#pragma once
// Waiting for something a test expects to happen: poll its condition until it holds or a deadline
// passes, never a fixed sleep that guesses how long the machine takes. The deadline is long enough
// for a machine under full load, so only a real fault runs into it; a passing test never waits it.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace qp::test {

// How long a test waits for something that is bound to happen.
inline constexpr int patienceMs = 60000;

// Polls `done`, letting pending events through in between, until it holds or `ms` have passed.
// Returns whether it holds in the end.
template <class Condition>
bool waitUntil(Condition done, int ms = patienceMs)
{
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(5);
    }
    return true;
}

} // namespace qp::test
