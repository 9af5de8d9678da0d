#pragma once
// Why a document failed because of the word processor itself: the texts the
// user reads beside a failed document, and the error numbers (HRESULTs, as
// the automation client raises them) that go with them.
#include <cstdint>
#include <string>
#include <string_view>

namespace FailureReason {

inline std::string stayedBusy(std::string_view command) {
    return "WordPerfect stayed busy and refused \"" + std::string(command) + "\"";
}
inline std::string didNotAnswer(std::string_view command) {
    return "WordPerfect stopped answering while running \"" + std::string(command) + "\"";
}
inline std::string stopped(std::string_view command) {
    return "WordPerfect stopped while running \"" + std::string(command) + "\"";
}
inline constexpr const char* NotRestartable = "WordPerfect could not be started again";
// "WordPerfect did not finish letter.wpd within 10 minutes".
std::string didNotFinish(std::string_view document, int seconds);
// Added to the reason of a document on which the program ended the
// WordPerfect it had started.
inline constexpr const char* EndedAndStarted = "; it was ended and started again";
// The same when the run is given up after it: it is not started again.
inline constexpr const char* Ended = "; it was ended";
// The reason of every document of a run that was given up.
inline constexpr const char* GivenUp = "WordPerfect stopped answering; the documents left were not started";
// Why a document failed when the user stopped the run during its macro.
inline constexpr const char* StoppedDuringMacro = "Stopped while the macro played";
// What the user reads when the program cannot reach WordPerfect at its start.
inline constexpr const char* NotFound = "Could not find WordPerfect";
std::string didNotStart(int seconds); // "WordPerfect did not start within 2 minutes"
// A time as the reasons give it: "5 seconds", "1 minute", "10 minutes",
// "1 minute 30 seconds".
std::string spokenDuration(int seconds);

} // namespace FailureReason

namespace ServerError {
// The server refused the call and did not run it (RPC_E_CALL_REJECTED).
inline constexpr std::int64_t Rejected = 0x80010001;
// The call was given up before it returned (RPC_E_CALL_CANCELED).
inline constexpr std::int64_t NotAnswered = 0x80010002;

// True for a failure that means the server's process is gone: it died or is
// unavailable (RPC_E_SERVER_DIED, RPC_E_SERVER_DIED_DNE, RPC_S_SERVER_UNAVAILABLE),
// the call failed in the transport (RPC_S_CALL_FAILED, RPC_S_CALL_FAILED_DNE,
// RPC_E_CONNECTION_TERMINATED), or the object is no longer connected
// (RPC_E_DISCONNECTED, CO_E_OBJNOTCONNECTED).
inline bool isGone(std::int64_t number) {
    for (std::int64_t gone : {0x80010007LL, 0x80010012LL, 0x800706BALL, 0x800706BELL, 0x800706BFLL,
                              0x80010006LL, 0x80010108LL, 0x800401FDLL})
        if (number == gone)
            return true;
    return false;
}
} // namespace ServerError
