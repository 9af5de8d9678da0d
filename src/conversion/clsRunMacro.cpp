#include "conversion/clsRunMacro.h"

#include "base/failure_reasons.h"
#include "base/file_services.h"
#include "base/late_binding.h"
#include "base/ports.h"
#include "base/settings.h"
// From the spine above: the stored macro, the program's services and the
// word processor's connection, through General.
#include "core/General.h"
#include "core/connection.h"
#include "files/clsFileSystem.h"

#include <algorithm>

void MacroRunnerBase::playAndWait(LateBound& wp, const std::string& macro, PathPassing passing) {
    Platform& platform = General::platform();
    const Arg path[] = {passing == PathPassing::ByReference ? byRef(macro) : byVal(macro)};
    wp.call("MacroFilePlay", path);
    Value playing = wp.get("envMacroPlaying");
    yieldTimes(platform, 8);
    // Asks again after a pause that grows from none to kLongestPollPauseMs,
    // the windows served meanwhile: each question is a call into the word
    // processor's own thread, and asking without a pause takes time from the
    // macro it waits for. The document's time limit bounds the wait.
    int pauseMs = 0;
    while (isTrue(playing)) {
        if (platform.stopRequested())
            throw AppError(ErrorNumber::Stopped, FailureReason::StoppedDuringMacro);
        platform.waitServing(pauseMs);
        pauseMs = std::min(kLongestPollPauseMs, pauseMs == 0 ? 1 : 2 * pauseMs);
        playing = wp.get("envMacroPlaying");
    }
}

bool clsRunMacro::RunMacro() {
    failure_.reset();
    noMacroChosen_ = false;
    try {
        LateBound& wp = General::wordPerfect();
        if (isTrue(wp.get("envDocBlank")))
            return false;
        wp.call("PosDocVeryTop");
        const std::string macro = General::ReadMacroSetting(); // read anew for every document
        noMacroChosen_ = macro.empty();
        if (clsFileSystem().FileExist(macro))
            playAndWait(wp, macro, PathPassing::ByReference);
        else if (!macro.empty())
            // A macro was chosen but is gone (moved, deleted, on a drive not
            // connected): saving the document untouched as "Converted" would
            // hide that the macro never ran.
            throw AppError(ErrorNumber::FileNotFound, "The macro to run was not found: " + macro);
        return true;
    } catch (...) {
        failure_ = currentError();
        return false;
    }
}

bool RmvDelayCode::RemoveDelayCode() {
    failure_.reset();
    try {
        LateBound& wp = General::wordPerfect();
        if (isTrue(wp.get("envDocBlank")))
            return true;
        wp.call("PosDocVeryTop");
        playAndWait(wp, General::files().programFolder() + "\\RmvDelayCode.wcm", PathPassing::ByValue);
        return true;
    } catch (...) {
        failure_ = currentError();
        return false;
    }
}
