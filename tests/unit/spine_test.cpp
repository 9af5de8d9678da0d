// The start-up routine, the coordinator and the job settings.
#include "control/Command.h"
#include "core/General.h"
#include "core/Mediator.h"
#include "fakes.h"
#include "probe.h"

#include <gtest/gtest.h>

namespace {

struct Spine : ::testing::Test, ProgramFixture {
    std::shared_ptr<RecordingObject> wordPerfect = std::make_shared<RecordingObject>();
    std::vector<std::string> journal;

    Spine() {
        platform.objectFactory = [this](const std::string&) { return wordPerfect; };
        platform.journal = &journal;
        windows.journal = &journal;
    }
};

TEST_F(Spine, StartUpConnectsBuildsTheCoreAndShowsTheMainWindow) {
    windows.main.list.addRow("C:\\old.wpd", "C:\\old.wpd"); // left over: init empties the list
    General::Main();

    ASSERT_TRUE(General::mediator);
    EXPECT_EQ(platform.requestedProgIds, std::vector<std::string>{"WordPerfect.PerfectScript"});
    EXPECT_EQ(General::WordPerfect, wordPerfect);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.ended, 0);
    EXPECT_EQ(windows.main.list.count(), 0u);
    EXPECT_EQ(windows.main.shownCount, 1);
    // The idle mode is current and the settings are empty.
    ASSERT_TRUE(Probe::initialised(*General::mediator));
    EXPECT_EQ(Probe::mode(*General::mediator), Probe::Mode::Idle);
    EXPECT_EQ(General::mediator->GetSourceFolder(), "");
    EXPECT_EQ(General::mediator->GetTgtFolder(), "");
    EXPECT_EQ(General::mediator->GetSourceFile(), "");
    EXPECT_EQ(General::mediator->GetTgtFile(), "");
    EXPECT_EQ(General::mediator->GetTempFolder(), "C:\\users\\tester\\Temp\\");
}

TEST_F(Spine, UnreachableServerShowsOneMessageAndEndsBeforeAnyWindow) {
    platform.objectFactory = nullptr; // creating the object fails
    EXPECT_THROW(General::Main(), ProgramEnded);

    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Could not find WordPerfect");
    EXPECT_EQ(platform.messages[0].caption, "Error!");
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(platform.messages[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(platform.ended, 1);
    EXPECT_EQ(platform.exitCode, 1) << "a start that failed";
    // Nothing after the message ran: only the hidden extension list was
    // loaded before it; no window shown, no core built.
    EXPECT_EQ(journal, (std::vector<std::string>{"load frmExtension", "message Could not find WordPerfect"}));
    EXPECT_EQ(windows.main.shownCount, 0);
    EXPECT_FALSE(Probe::initialised(*General::mediator));
    EXPECT_FALSE(General::WordPerfect);
}

// A cold WordPerfect may take two minutes to start; one that took longer is
// said apart from one that is not there.
TEST_F(Spine, AServerTooSlowToStartIsSaidSoAndEndsTheProgram) {
    platform.objectFactory = [](const std::string&) -> std::shared_ptr<LateBound> {
        throw AppError(ErrorNumber::TimedOut, "the server did not make it within 120 seconds");
    };
    EXPECT_THROW(General::Main(), ProgramEnded);
    EXPECT_EQ(platform.starts, std::vector<ServerStart>{ServerStart::Cold});
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "WordPerfect did not start within 2 minutes");
    EXPECT_EQ(platform.messages[0].caption, "Error!");
    EXPECT_EQ(platform.exitCode, 1);
}

TEST_F(Spine, AServerThatAnswersNoObjectCountsAsUnreachable) {
    platform.objectFactory = [](const std::string&) { return std::shared_ptr<LateBound>(); };
    EXPECT_THROW(General::Main(), ProgramEnded);
    EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(Spine, StartUpRunsItsStepsInOrder) {
    windows.main.journal = &journal;
    General::Main();
    // The extension list exists before init; init's StartStateThree loads
    // the main window, which is shown before the two start-up dialogs.
    EXPECT_EQ(journal, (std::vector<std::string>{"load frmExtension", "load Form2", "show", "show Form3",
                                                 "show frmMacroSelect"}));
    EXPECT_EQ(windows.loads, 1);
    EXPECT_EQ(windows.extensionLoads, 1); // step 7 found it still loaded
}

TEST_F(Spine, StartUpReloadsAnExtensionManagerClosedMeanwhile) {
    // The extension manager's window is gone while start-up goes on; its
    // last step loads it anew with the default list.
    windows.main.onShow = [this] {
        windows.closeExtensionManager();
        windows.extensions.entries.clear();
    };
    General::Main();
    EXPECT_EQ(windows.extensionLoads, 2);
    EXPECT_EQ(windows.extensions.entries, std::vector<std::string>{"wpd"});
}

TEST(TemporaryFolder, KeepsExactlyThePathTheSystemReports) {
    EXPECT_EQ(TrimTemporaryFolder(std::string("C:\\Temp\\") + '\0' + std::string(251, ' ')), "C:\\Temp\\");
    EXPECT_EQ(TrimTemporaryFolder(std::string("  C:\\My Temp\\") + std::string(3, '\0') + "junk"),
              "C:\\My Temp\\");
    EXPECT_EQ(TrimTemporaryFolder("C:\\Temp\\"), "C:\\Temp\\");
    EXPECT_EQ(TrimTemporaryFolder(std::string(260, ' ')), "");
    const std::string longPath = "C:\\" + std::string(300, 'x') + "\\";
    EXPECT_EQ(TrimTemporaryFolder(longPath + '\0'), longPath); // not cut at 260
}

TEST_F(Spine, JobSettingsRoundTripExactly) {
    General::Main();
    Mediator& m = *General::mediator;
    for (const std::string value : {"", "  C:\\Docs  ", "C:\\", "C:\\Docs\\", "D:\\Ünïcode ☃\\x.wpd"}) {
        m.SetSourceFolder(value);
        m.SetTgtFolder(value);
        m.SetSourceFile(value);
        m.SetTgtFile(value);
        EXPECT_EQ(m.GetSourceFolder(), value);
        EXPECT_EQ(m.GetTgtFolder(), value);
        EXPECT_EQ(m.GetSourceFile(), value);
        EXPECT_EQ(m.GetTgtFile(), value);
    }
    // The four settings are independent.
    m.SetSourceFolder("a");
    m.SetTgtFolder("b");
    m.SetSourceFile("c");
    m.SetTgtFile("d");
    EXPECT_EQ(m.GetSourceFolder() + m.GetTgtFolder() + m.GetSourceFile() + m.GetTgtFile(), "abcd");
}

TEST_F(Spine, ModeSwitchesAndTheirSideEffects) {
    General::Main();
    Mediator& m = *General::mediator;
    windows.main.nextVisible = true;

    m.startStateOne();
    EXPECT_EQ(Probe::mode(m), Probe::Mode::SingleDocument);
    EXPECT_FALSE(windows.main.nextVisible);

    m.StartStateTwo();
    EXPECT_EQ(Probe::mode(m), Probe::Mode::Batch);

    // "Close" empties the list but keeps the mode.
    windows.main.list.addRow("k", "k");
    m.StartStateThree();
    EXPECT_EQ(windows.main.list.count(), 0u);
    EXPECT_EQ(Probe::mode(m), Probe::Mode::Batch);
}

TEST_F(Spine, IdleModeCommandsGoThroughTheCoordinator) {
    General::Main();
    Mediator& m = *General::mediator;
    windows.main.list.addRow("k", "k");
    // Command1 in the idle mode only clears the list; Command2 and Command3 do nothing.
    issueCommand<cmd1>(m);
    EXPECT_EQ(windows.main.list.count(), 0u);
    windows.main.list.addRow("k", "k");
    issueNextJob(m);
    m.Command3();
    EXPECT_EQ(windows.main.list.count(), 1u);
}

TEST_F(Spine, RegisteringACommandReplacesAndReleasesThePreviousOne) {
    General::Main();
    Mediator& m = *General::mediator;
    std::weak_ptr<Cmd2> first;
    {
        auto a = std::make_shared<Cmd2>();
        a->init(m);
        first = a;
    }
    EXPECT_FALSE(first.expired()); // the coordinator keeps it alive
    EXPECT_EQ(Probe::latestCmd2(m), first.lock());

    auto b = std::make_shared<Cmd2>();
    b->init(m);
    EXPECT_EQ(Probe::latestCmd2(m), b);
    EXPECT_TRUE(first.expired());

    auto c = std::make_shared<cmd1>();
    c->init(m);
    EXPECT_EQ(Probe::latestCmd1(m), c);
    EXPECT_EQ(Probe::latestCmd2(m), b); // the kinds are kept apart
}

TEST_F(Spine, UnexpectedFailuresAreShownOnceWithTheProgramTitle) {
    General::ReportUnexpectedFailure(std::make_exception_ptr(AppError(5, "Invalid procedure call", "x")));
    General::ReportUnexpectedFailure(std::make_exception_ptr(std::runtime_error("bad thing")));
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0].text, "Invalid procedure call");
    EXPECT_EQ(platform.messages[0].caption, "Tarnwick");
    EXPECT_EQ(platform.messages[1].text, "bad thing");
}

TEST(CommandsWithoutCoordinator, RaiseInsteadOfCrashing) {
    cmd1 start;
    Cmd2 next;
    EXPECT_THROW(start.Execute(), AppError);
    EXPECT_THROW(next.Execute(), AppError);
}

} // namespace
