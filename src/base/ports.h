#pragma once
// The system services the core reaches: automation objects, message boxes,
// yielding to the window system, pauses, the folder browser and the end of
// the program. Win32 implements them; tests use fakes.
#include <memory>
#include <string>

class LateBound;

// Raised by a platform whose end of the program cannot end the process (the
// tests' stand-ins); the window boundaries let it pass without a message.
struct ProgramEnded {};

enum class MsgIcon { None, Exclamation, Critical, Question, Information };
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

// How long starting the word processor's server may take: the first start
// of a session (a cold WordPerfect on a slow PC, a task at logon), or again
// within a run (after a crash, or once a stuck one was ended).
enum class ServerStart { Cold, Again };
inline constexpr int kColdStartSeconds = 120;
inline constexpr int kRestartSeconds = 30;

// What a program that finds the batch lock held tells its user.
inline constexpr const char* kAnotherBatch =
    "Another Tarnwick batch is running; try again when it has ended.";

class Platform {
public:
    virtual ~Platform() = default;
    // The automation object registered under a programmatic identifier,
    // its server given the time the start allows; raises AppError when it
    // cannot be had (ErrorNumber::TimedOut when the server did not make it
    // in time).
    virtual std::shared_ptr<LateBound> createObject(const std::string& progId, ServerStart start) = 0;
    virtual MsgAnswer messageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                                 MsgButtons buttons) = 0;
    // Ends the program at once with the exit code; does not return.
    [[noreturn]] virtual void endProgram(int exitCode) = 0;
    // Lets the window system process its pending events once; answers
    // whether there were any.
    virtual bool doEvents() = 0;
    // Waits the given number of milliseconds.
    virtual void pause(int milliseconds) = 0;
    // Waits the given number of milliseconds while the window system's
    // events are handled (0: lets it process its pending events once).
    virtual void waitServing(int milliseconds) = 0;
    // The user asked the run to stop (the console program's first Ctrl+C);
    // a wait for the word processor ends then.
    virtual bool stopRequested() { return false; }
    // Shows the system's folder browser (file-system folders only, no
    // owner, the prompt as its title) and answers the text the system wrote
    // for the chosen folder, or empty text when the user cancelled.
    virtual std::string browseForFolder(const std::string& prompt) = 0;
    // The per-user lock that lets one batch convert at a time: true when this
    // program holds it now (taken now, or already held by a run of its own
    // that is still going); false when another program holds it. Each true
    // answer is matched by one release.
    virtual bool takeBatchLock() = 0;
    virtual void releaseBatchLock() = 0;
};

// Yields up to the given number of times, and no more once a yield found
// nothing pending: nothing runs between the yields, so the ones after it
// would find nothing either, and each costs a round trip to the window
// system (a request to Wine's server, some 30 microseconds).
inline void yieldTimes(Platform& platform, int times) {
    for (int i = 0; i < times; ++i)
        if (!platform.doEvents())
            return;
}
