#include "engine/progress.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "support/message_capture.h"

namespace {

// The percent maps into its stage, truncated; an empty stage or no
// progress changes nothing.
TEST(SetPercent, MapsThePercentIntoItsStageAndSetsTheText) {
    MessageCapture capture;
    std::atomic<int> progress{-1};
    SetPercent(&progress, 20, 100, 50, "Blowing bubbles...");
    EXPECT_EQ(progress, 60);
    EXPECT_EQ(GetStatusText(), "Blowing bubbles...");
    SetPercent(&progress, 0, 5, 99, nullptr);
    EXPECT_EQ(progress, 4);  // 4.95 truncated
    SetPercent(&progress, -10, 10, 25, nullptr);
    EXPECT_EQ(progress, -5);

    SetStatusText("before");
    SetPercent(&progress, 5, 5, 50, "after");
    SetPercent(&progress, 9, 2, 0, "after");
    SetPercent(nullptr, 5, 5, 50, "after");  // quietly
    EXPECT_EQ(progress, -5);
    EXPECT_EQ(GetStatusText(), "before");
    EXPECT_EQ(capture.Texts(),
              (std::vector<std::string>{"SetPercent (ptr,5,5,50)", "SetPercent (ptr,9,2,0)"}));
}

// Letters typed by the user reach the status line as UTF-8: the limit of
// forty bytes never cuts a character of several bytes in half.
TEST(StatusText, KeepsFortyBytesOfWholeCharacters) {
    const std::string forty = "0123456789012345678901234567890123456789";
    SetStatusText((forty + "ABCDE").c_str());
    EXPECT_EQ(GetStatusText(), forty);
    SetStatusText((forty.substr(1) + "\xC3\x84" + "B").c_str());  // "Ä" on bytes 40 and 41
    EXPECT_EQ(GetStatusText(), forty.substr(1));
    SetStatusText(nullptr);
    EXPECT_EQ(GetStatusText(), "");
}

// The ticker turns one whole character a scroll and starts again only for a
// text that differs within its first 40 characters; the text itself never
// turns.
TEST(StatusTicker, TurnsOneCharacterPerScrollUntilTheTextChanges) {
    SetStatusText("ABCD");
    StatusTicker::Restart();
    for (const char* turned : {"ABCD", "BCDA", "CDAB", "DABC", "ABCD", "BCDA"})
        EXPECT_EQ(StatusTicker::Scroll(), turned);
    EXPECT_EQ(GetStatusText(), "ABCD");
    SetStatusText("ABCD");
    EXPECT_EQ(StatusTicker::Scroll(), "CDAB");
    SetStatusText("XYZ");
    EXPECT_EQ(StatusTicker::Scroll(), "XYZ");
    EXPECT_EQ(StatusTicker::Scroll(), "YZX");

    const std::string forty = "0123456789012345678901234567890123456789";
    SetStatusText((forty + "X").c_str());
    StatusTicker::Scroll();
    SetStatusText((forty + "Y").c_str());
    EXPECT_EQ(StatusTicker::Scroll(), forty.substr(1) + "0");
    SetStatusText("");
    EXPECT_EQ(StatusTicker::Scroll(), "");

    // Characters of several bytes turn whole.
    const std::string ae = "\xC3\x84", euro = "\xE2\x82\xAC";
    SetStatusText(("A" + ae + "B" + euro).c_str());
    StatusTicker::Restart();
    for (const std::string& turned :
         {"A" + ae + "B" + euro, ae + "B" + euro + "A", "B" + euro + "A" + ae,
          euro + "A" + ae + "B", "A" + ae + "B" + euro})
        EXPECT_EQ(StatusTicker::Scroll(), turned);
    SetStatusText("");
}

TEST(StatusText, ReadersNeverSeeAHalfWrittenText) {
    const std::string a(40, 'a');
    const std::string b(40, 'b');
    SetStatusText(a.c_str());
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < 20000; ++i)
            SetStatusText(i % 2 != 0 ? a.c_str() : b.c_str());
        done = true;
    });
    int torn = 0;
    while (!done) {
        const std::string text = GetStatusText();
        const std::string ticker = StatusTicker::Scroll();
        if (text != a && text != b) ++torn;
        if (ticker != a && ticker != b) ++torn;
    }
    writer.join();
    EXPECT_EQ(torn, 0);
}

}  // namespace

// Two pieces of work beside each other, each with its own stop flag and
// status line: a stop asked of one never reaches the other nor the
// process-wide flag, and neither writes over the document's status text.
TEST(ThreadOwnStop, TwoThreadsTwoFlagsAndTheProcessFlagApart) {
    SetStatusText("the document's run");
    std::atomic<int> flags[2] = {0, 0};
    StatusLine lines[2];
    std::atomic<int> ready{0};
    std::atomic<bool> go{false};
    int seen[2] = {-1, -1};
    auto work = [&](int i) {
        ThreadStopGuard stop(&flags[i]);
        ThreadStatusGuard status(&lines[i]);
        SetStatusText(i == 0 ? "first" : "second");
        ++ready;
        while (!go)
            std::this_thread::yield();
        // Only the first is stopped: it sees its flag through StopRequested.
        if (i == 0) {
            while (StopRequested.load() == 0)
                std::this_thread::yield();
        }
        seen[i] = StopRequested;
        StopRequested = 0;  // clears this thread's flag only
    };
    std::thread first(work, 0), second(work, 1);
    while (ready < 2)
        std::this_thread::yield();
    flags[0] = 1;
    go = true;
    first.join();
    second.join();
    EXPECT_EQ(seen[0], 1);
    EXPECT_EQ(seen[1], 0);
    EXPECT_EQ(flags[0].load(), 0);
    EXPECT_EQ(StopRequested.load(), 0);
    EXPECT_EQ(lines[0].Get(), "first");
    EXPECT_EQ(lines[1].Get(), "second");
    EXPECT_EQ(GetStatusText(), "the document's run");

    // A stop of the whole process does not reach a thread with its own flag.
    StopRequested = 1;
    std::thread own([&] {
        ThreadStopGuard stop(&flags[1]);
        seen[1] = StopRequested != 0;
        {
            ThreadStopGuard inner(nullptr);  // back to the process's own
            seen[0] = StopRequested != 0;
        }
        ThreadStatusGuard quiet(nullptr);
        SetStatusText("nowhere");
    });
    own.join();
    EXPECT_EQ(seen[1], 0);
    EXPECT_EQ(seen[0], 1);
    EXPECT_EQ(StopRequested.ProcessWide().load(), 1);
    StopRequested = 0;
    EXPECT_EQ(GetStatusText(), "the document's run");
}
