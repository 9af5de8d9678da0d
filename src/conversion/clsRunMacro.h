#pragma once
// The macro runners: play a macro on the document open in the word
// processor and return once it reports that the macro is no longer playing.
// A runner shows no message and raises nothing; what went wrong is kept so
// that the job can tell a broken macro from a treated document.
#include "base/error.h"

#include <optional>
#include <string>

class LateBound;

class MacroRunnerBase {
public:
    // The longest pause between two questions whether the macro still plays.
    static constexpr int kLongestPollPauseMs = 50;

    // The failure that ended the last run, if one did.
    const std::optional<AppError>& failure() const { return failure_; }

protected:
    // How the macro's path is handed to the word processor's play command.
    enum class PathPassing { ByReference, ByValue };

    // Plays the macro, its path passed as given, and waits while the word
    // processor reports it playing.
    static void playAndWait(LateBound& wordPerfect, const std::string& macro, PathPassing passing);
    std::optional<AppError> failure_;
};

class clsRunMacro : public MacroRunnerBase {
public:
    // True when the run went through (also without a macro to play); false
    // when the document was blank or a step failed.
    bool RunMacro();
    // The last run found no macro chosen (the setting empty): the document
    // is saved as it is.
    bool noMacroChosen() const { return noMacroChosen_; }

private:
    bool noMacroChosen_ = false;
};

// Kept complete (and tested) with the macro runners, though nothing in the
// program plays this macro.
class RmvDelayCode : public MacroRunnerBase {
public:
    // Plays "RmvDelayCode.wcm" from the program's folder; true when the run
    // went through or the document was blank.
    bool RemoveDelayCode();
};
