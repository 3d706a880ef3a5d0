// A job slot on a real worker: requests made while a job runs.
#include "ui/job_slot.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSemaphore>
#include <QThread>
#include <vector>

namespace pasdraw {
namespace {

// The first job is held until released, so every later request is made
// while it runs. Only the newest of them runs after it, and only its result
// is handed over, on the slot's thread.
TEST(JobSlot, ARequestMadeWhileAJobRunsIsNotLostAndOnlyTheNewestRuns) {
    QThreadPool pool;
    pool.setMaxThreadCount(1);
    QSemaphore firstStarted, release;
    std::vector<int> ran;  // on the worker, one job at a time
    std::vector<std::pair<int, int>> done;
    JobSlot<int, int> slot(
        pool,
        [&](const int& n) {
            ran.push_back(n);
            if (n == 1) {
                firstStarted.release();
                release.acquire();
            }
            return n * 10;
        },
        [&](const int& n, int result) {
            EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
            done.emplace_back(n, result);
        });
    slot.request(1);
    firstStarted.acquire();
    for (const int n : {2, 3, 4}) slot.request(n);
    EXPECT_TRUE(slot.busy());
    release.release();
    while (slot.busy()) {
        slot.waitForFinished();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(ran, (std::vector<int>{1, 4}));
    EXPECT_EQ(done, (std::vector<std::pair<int, int>>{{4, 40}}));
    // Free again: the next request starts at once.
    slot.request(5);
    while (slot.busy()) {
        slot.waitForFinished();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(done.back(), std::make_pair(5, 50));
}

}  // namespace
}  // namespace pasdraw
