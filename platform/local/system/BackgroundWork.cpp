#include "platform/local/system/BackgroundWork.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <thread>

namespace platform {

namespace {

// Runs `work` on a new thread and keeps the calling thread's events flowing until it ends.
void runAndAnswer(const std::function<void()>& work) {
    if (!QCoreApplication::instance() ||
        QThread::currentThread() != QCoreApplication::instance()->thread()) {
        work();
        return;
    }
    QEventLoop loop;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work();
        done = true;
        // Queued, so that a work done before the loop starts still ends it once it runs.
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    // The loop also returns when the application quits meanwhile; the work is then waited for
    // without the loop, as nothing is left to answer.
    while (!done && loop.exec() == 0 && !done)
        ;
    worker.join();
}

} // namespace

void RunInBackground(const std::function<void()>& work) {
    runAndAnswer(work);
}

void RunAllInBackground(const std::vector<std::function<void()>>& works, int atOnce) {
    if (works.empty())
        return;
    runAndAnswer([&] {
        std::atomic<std::size_t> next{0};
        const auto drain = [&] {
            for (std::size_t i = next++; i < works.size(); i = next++)
                works[i]();
        };
        std::vector<std::thread> threads;
        const std::size_t count = std::min<std::size_t>(works.size(), std::max(1, atOnce));
        for (std::size_t t = 1; t < count; ++t)
            threads.emplace_back(drain);
        drain();
        for (std::thread& thread : threads)
            thread.join();
    });
}

} // namespace platform
