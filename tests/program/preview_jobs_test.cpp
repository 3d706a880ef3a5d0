// The preview's hand-overs between threads: the rule of its job slots (the
// newest request wins) and Play's thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <vector>

#include "program/newest_wins.h"
#include "program/play_thread.h"

namespace pasdraw {
namespace {

// A slot driven through a script: a letter requests that job, '!' says the
// running job finished, '-' drops the waiting request. The log shows what
// started ("s") and whose result was used ("r").
std::string drive(const std::string& script) {
    NewestWins<std::string> slot;
    std::string log;
    std::string running;
    for (const char op : script) {
        std::optional<std::string> start;
        if (op == '-') {
            slot.dropWaiting();
        } else if (op == '!') {
            start = slot.finished();
            if (!start) log += "r" + running + " ";
        } else {
            start = slot.request(std::string(1, op));
        }
        if (start) {
            running = *start;
            log += "s" + running + " ";
        }
    }
    return log + (slot.busy() ? "busy" : "free");
}

TEST(NewestWins, OnlyTheNewestWaitingRequestRunsAndOnlyItsResultIsUsed) {
    struct Case {
        const char* script;
        const char* log;
    };
    const std::vector<Case> cases{
        {"a", "sa busy"},
        {"a!", "sa ra free"},
        // Made while a runs: not lost, and a's result is stale.
        {"ab!", "sa sb busy"},
        {"ab!!", "sa sb rb free"},
        // Of several made during one run, only the newest runs.
        {"abcd!!", "sa sd rd free"},
        {"ab!cd!!", "sa sb sd rd free"},
        // Dropping the waiting request lets the running job's result count.
        {"ab-!", "sa ra free"},
        {"ab-c!!", "sa sc rc free"},
        {"a!b!", "sa ra sb rb free"},
    };
    for (const Case& c : cases) EXPECT_EQ(drive(c.script), c.log) << c.script;
}

// Play's thread, with its announcements counted and its end awaited.
struct Played {
    PlayThread thread;
    std::atomic<int> announced{0};
    std::promise<int> end;

    void start(const std::string& text) {
        PlayThread::Announce announce;
        announce.frameReady = [this] { ++announced; };
        announce.ended = [this](int generation) { end.set_value(generation); };
        thread.start(text, std::move(announce));
    }
};

// Frames not yet taken are replaced by newer ones and announced once: the
// one taken after the end is the screen the program ends with.
TEST(PlayThread, TheNewestFrameIsHandedOverAndAnnouncedOnce) {
    const std::string text =
        "for i := 1 to 20 do begin setcolor(i mod 16); circle(20 * i, 200, 15); delay(0) end;";
    Played played;
    std::future<int> ended = played.end.get_future();
    played.start(text);
    EXPECT_TRUE(played.thread.playing());
    const int generation = ended.get();
    EXPECT_EQ(played.announced.load(), 1);
    EXPECT_TRUE(played.thread.ended(generation));
    EXPECT_FALSE(played.thread.playing());
    const std::optional<PreviewRun> last = played.thread.takeFrame();
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->pixels, runPreview(text).pixels);
    EXPECT_FALSE(played.thread.takeFrame().has_value());
    // Its end was handled: stopping finds nothing to stop, and the same end
    // said again is no news.
    EXPECT_FALSE(played.thread.stop());
    EXPECT_FALSE(played.thread.ended(generation));
}

// A stop during the longest delay ends the thread at once, before the
// statement after the delay; the frame shown at the delay is dropped, and the
// stopped play's end is no news.
TEST(PlayThread, AStopDuringAWaitEndsTheThread) {
    for (int round = 0; round < 20; ++round) {
        Played played;
        std::future<int> ended = played.end.get_future();
        played.start("putpixel(1, 1, 4); delay(65535); cleardevice;");
        // Spins until the delay's frame has come: the thread waits then, or
        // is about to.
        while (played.announced == 0) std::this_thread::yield();
        // A missed wake-up shows only as the delay's full 65 seconds.
        std::future<bool> stopped = std::async(std::launch::async, [&] { return played.thread.stop(); });
        ASSERT_EQ(stopped.wait_for(std::chrono::seconds(30)), std::future_status::ready) << "round " << round;
        EXPECT_TRUE(stopped.get());
        EXPECT_FALSE(played.thread.playing());
        EXPECT_FALSE(played.thread.takeFrame().has_value());
        EXPECT_FALSE(played.thread.ended(ended.get()));
    }
}

}  // namespace
}  // namespace pasdraw
