#pragma once
// The program-wide state and the start-up routine.
#include <exception>
#include <memory>
#include <string>

class Mediator;
class LateBound;
class Platform;
class Forms;
class FileServices;
class SettingsStore;
class WordPerfectConnection;

namespace General {

// The coordinator: set once by the start-up routine, the same object for
// the whole run.
extern std::shared_ptr<Mediator> mediator;
// The word processor's automation object, set by the coordinator's
// connection step and kept until the program ends.
extern std::shared_ptr<LateBound> WordPerfect;
// The word processor as the jobs and the macro runner use it: the object
// above, and what its calls have shown about its server.
WordPerfectConnection& wordPerfect();
// Drops the word processor's object without a call to its server, so that
// ending the program never waits on a server that may hang.
void LetGoOfWordPerfect() noexcept;
// The extension filter chain's verdict.
extern bool ExtAccepted;

// The coordinator; raises AppError when there is none.
Mediator& coordinator();

// The services and windows the program runs with; installed by the
// executable's entry point (or a test) before the start-up routine.
struct Services {
    Platform* platform = nullptr;
    Forms* forms = nullptr;
    FileServices* files = nullptr;
    SettingsStore* settings = nullptr;
};
void install(const Services& services);
Platform& platform();
Forms& forms();
FileServices& files();
SettingsStore& settings();

// The macro setting of this program, kept under its executable's name.
std::string ReadMacroSetting();
void StoreMacroSetting(const std::string& path);

// Drops all program-wide state (tests start each case from nothing).
void reset();

// The start-up routine.
void Main();
// Its part without windows: the coordinator, the extension list, the
// connection to the word processor, the core. Ends the program when the word
// processor cannot be reached.
void StartCoordinator();

// Ends the program at once, without a call to the word processor's server:
// exit code 0 for the user's own end of the program, 1 for a start that failed.
[[noreturn]] void End(int exitCode = 0);

// Shows a failure that reached a window, dialog or COM boundary: one message
// box with its description and the program's title. The program goes on.
void ReportUnexpectedFailure(std::exception_ptr failure) noexcept;

} // namespace General
