// How far a run of documents is, as the status bar and the console show it.
#include "base/progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Progress, SaysHowFarARunIsAndSumsItUpAtItsEnd) {
    double now = 100;
    BatchProgress progress([&] { return now; });
    EXPECT_EQ(progress.text(), "") << "before the first run";

    progress.begin(300);
    EXPECT_EQ(progress.text(), "Document 0 of 300: 0 done, 0 converted, 0 failed");
    for (int i = 1; i <= 12; ++i) {
        const std::string path = "C:\\docs\\" + std::to_string(i) + ".wpd";
        progress.started(path);
        now += 1.5;
        if (i == 7)
            progress.finished(path, BatchProgress::Outcome::Failed, "Disk is full");
        else if (i < 12)
            progress.finished(path, BatchProgress::Outcome::Converted);
    }
    EXPECT_EQ(progress.text(), "Document 12 of 300: 11 done, 10 converted, 1 failed");
    EXPECT_EQ(progress.lastPath(), "C:\\docs\\12.wpd");

    progress.finished("C:\\docs\\12.wpd", BatchProgress::Outcome::Converted);
    now = 100 + 252;
    progress.end();
    now += 1000; // the summary keeps the run's own time
    EXPECT_EQ(progress.text(), "12 documents: 11 converted, 1 failed, in 4 min 12 s");
    EXPECT_FALSE(progress.running());
}

TEST(Progress, TellsEachDocumentWithItsOutcomeReasonAndTime) {
    struct Seen : BatchProgress::Observer {
        std::vector<std::string> lines;
        void progressChanged(const BatchProgress& p, BatchProgress::Event event) override {
            if (event == BatchProgress::Event::DocumentFinished)
                lines.push_back(std::to_string(p.current()) + "/" + std::to_string(p.total()) + " " +
                                p.lastPath() + " " + durationText(p.lastSeconds()) + " " + p.lastReason());
        }
    } seen;
    double now = 0;
    BatchProgress progress([&] { return now; });
    progress.setObserver(&seen);
    progress.begin(3);
    progress.started("a");
    now = 0.8;
    progress.finished("a", BatchProgress::Outcome::Converted);
    // A document whose row could not even be added still counts as one.
    progress.finished("b", BatchProgress::Outcome::Failed, "Key is not unique in collection");
    progress.started("c");
    now = 2.0;
    progress.finished("c", BatchProgress::Outcome::Failed, "cancelled");
    EXPECT_EQ(seen.lines,
              (std::vector<std::string>{"1/3 a 0.8 s ", "2/3 b 0.0 s Key is not unique in collection",
                                        "3/3 c 1.2 s cancelled"}));
}

TEST(Progress, DurationsReadAsPeopleSayThem) {
    const std::vector<std::pair<double, std::string>> cases = {
        {0, "0.0 s"},        {0.84, "0.8 s"},     {9.99, "9.9 s"},     {10, "10 s"},
        {59.9, "59 s"},      {60, "1 min 0 s"},   {252, "4 min 12 s"}, {3599, "59 min 59 s"},
        {3600, "1 h 0 min"}, {7530, "2 h 5 min"}, {-1, "0.0 s"}};
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(durationText(seconds), text) << seconds;
}

} // namespace
