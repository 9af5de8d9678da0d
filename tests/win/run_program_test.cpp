// The program from start to end through its entry point's own function, with
// a step of the start-up made to fail.
#include "dialog_test_support.h"
#include "ui/run_program.h"

namespace {

// The program's windows, one of which cannot be made when the test says so.
class FailingWindows : public ProgramForms {
public:
    bool failExtensionManager = false;
    bool failQuickStart = false;
    ::frmExtension& frmExtension() override {
        if (failExtensionManager)
            throw AppError(1407, "The extension manager could not be made");
        return ProgramForms::frmExtension();
    }
    void showQuickStartOwnedByMain() override {
        if (failQuickStart)
            throw AppError(1407, "Quick Start could not be made");
        ProgramForms::showQuickStartOwnedByMain();
    }
};

struct RunProgram : DialogTest {
    FailingWindows failing;
    std::function<void(General::Services&)> ourServices() {
        return [this](General::Services& services) {
            services.platform = &platform;
            services.forms = &failing;
            services.settings = &settings;
        };
    }
};

TEST_F(RunProgram, AFailureBeforeTheMainWindowIsShownSaysSoOnceAndEndsWithExitCodeOne) {
    failing.failExtensionManager = true;
    MessageBoxes boxes;
    // Were the program to wait for ever with nothing on screen, its event
    // loop would be told to end after ten seconds (and the test fail).
    const ULONGLONG limit = GetTickCount64() + 10000;
    ScriptedUser stopper([&] {
        if (GetTickCount64() < limit)
            return false;
        PostQuitMessage(0);
        return true;
    });
    EXPECT_EQ(runProgram(ourServices()), 1);
    ASSERT_EQ(boxes.seen().size(), 1u) << boxes.list();
    EXPECT_EQ(boxes.seen()[0].text, L"The extension manager could not be made");
    EXPECT_EQ(platform.ended, 0);
    EXPECT_TRUE(threadWindows(L"TarnwickForm2").empty()) << "no main window was made";
}

TEST_F(RunProgram, AFailureAfterTheMainWindowIsShownSaysSoOnceAndTheProgramGoesOn) {
    failing.failQuickStart = true;
    bool mainWindowShown = false;
    Script user({
        [] {
            for (HWND box : threadWindows(L"#32770"))
                if (isMessageBox(box) && shown(box)) {
                    PostMessageW(box, WM_COMMAND, IDOK, 0);
                    return true;
                }
            return false;
        },
        [&] {
            // The program runs its event loop with the main window on
            // screen; the loop is then told to end.
            mainWindowShown = shown(failing.Form2().hwnd());
            PostQuitMessage(0);
            return true;
        },
    });
    EXPECT_THROW(runProgram(ourServices()), ProgramEnded);
    EXPECT_TRUE(user.finished());
    EXPECT_TRUE(mainWindowShown);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Quick Start could not be made");
    EXPECT_EQ(platform.ended, 1);
}

} // namespace
