// The word processor's server dies in the middle of a batch. This runs as a
// test program of its own, after the others: once its server was killed,
// Wine starts no new one in the same session.
#include "e2e_support.h"

#include "platform/wide_win.h"
#include "ui/Form1_ids.h"
#include "ui/Form2_ids.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

using Lines = std::vector<std::string>;

// Ends every running stand-in server process; answers how many it ended.
int killServers() {
    int killed = 0;
    for (DWORD id : serverProcesses()) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        if (process == nullptr)
            continue;
        if (TerminateProcess(process, 9)) {
            WaitForSingleObject(process, 5000);
            ++killed;
        }
        CloseHandle(process);
    }
    return killed;
}

bool journalShows(const std::string& journal, const std::string& line) {
    const Lines lines = journalLines(journal);
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST_F(EndToEnd, TheServerKilledInTheMiddleOfABatch) {
    constexpr int kDocuments = 20;
    Lines paths;
    for (int i = 0; i < kDocuments; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "doc%02d.wpd", i);
        paths.push_back(document(name, std::string("document ") + name));
    }
    // Each document's macro plays for a tenth of a second: the batch yields
    // to the scripted user inside every document.
    storeMacro(macro("slow.wcm", "Playing 100\r\n"));
    const auto tempBefore = temporaryFiles();
    startCoordinator();

    int killed = 0;
    std::chrono::steady_clock::time_point killedAt;
    auto steps = pickFolders(source, target);
    steps.push_back(press(batchDocuments, IDC_BD_COMMAND1));
    steps.push_back(
        // The server dies while the batch is at its sixth document,
        // while its macro plays.
        [&] {
            if (!journalShows(journal, "FileOpen\t" + paths[5]))
                return false;
            killed = killServers();
            killedAt = std::chrono::steady_clock::now();
            return true;
        });
    Script user(std::move(steps), 60000);
    menu(IDM_BATCH);
    const double secondsAfterKill =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - killedAt).count();
    ASSERT_TRUE(user.finished());
    ASSERT_EQ(killed, 1);

    // Every document before the kill converted, every later one failed, and
    // quickly: nothing waited for the dead server.
    int converted = 0, failed = 0;
    for (const auto& row : shownRows()) {
        const std::string status = row.substr(row.find('|') + 1);
        converted += status == "Converted";
        failed += status == "Failed";
    }
    std::printf("[ figures  ] %d converted, %d failed; the batch ended %.2f s after the kill\n", converted,
                failed, secondsAfterKill);
    EXPECT_EQ(converted + failed, kDocuments);
    EXPECT_GE(converted, 5);
    EXPECT_LE(converted, 6);
    EXPECT_LT(secondsAfterKill, 20.0);
    // The program tried once to start the server again; Wine starts none
    // after a kill from outside, so the rest failed at once.
    EXPECT_EQ(platform.creations.size(), 2u);
    // The target holds exactly the documents converted before the kill.
    Lines results;
    for (const std::string& path : paths)
        if (fileExists(target + path.substr(source.size())))
            results.push_back(path);
    EXPECT_EQ(results, Lines(paths.begin(), paths.begin() + converted));
    for (const std::string& path : results)
        EXPECT_EQ(readBytes(target + path.substr(source.size())), originals[path]) << path;
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(temporaryFiles(), tempBefore);
    expectSourcesUnchanged();
    int lost = 0;
    for (const auto& [path, bytes] : originals)
        lost += !fileExists(path) || readBytes(path) != bytes ? 1 : 0;
    const auto tempAfter = temporaryFiles();
    int left = 0;
    for (const auto& file : tempAfter)
        left += std::find(tempBefore.begin(), tempBefore.end(), file) == tempBefore.end() ? 1 : 0;
    recordReliabilityCase("the server process killed from outside while document " +
                              std::to_string(converted + 1) +
                              "'s macro played (Wine starts no new one: the rest fail at once)",
                          {kDocuments, converted, failed, lost, left});

    // The program stays usable: "Close" empties the list, and "Exit" ends it.
    menu(IDM_CLOSE);
    EXPECT_TRUE(shownRows().empty() || windows.Form2().ListView1().count() == 0);
    menu(IDM_EXIT);
    EXPECT_EQ(platform.ended, 1);
}

} // namespace
