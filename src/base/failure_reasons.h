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
    return "WordPerfect did not answer \"" + std::string(command) + "\"";
}
inline std::string stopped(std::string_view command) {
    return "WordPerfect stopped while running \"" + std::string(command) + "\"";
}
inline constexpr const char* NotRestartable = "WordPerfect could not be started again";

} // namespace FailureReason

namespace ServerError {
// The server refused the call and did not run it (RPC_E_CALL_REJECTED).
inline constexpr std::int64_t Rejected = 0x80010001;
// The call was given up before it returned (RPC_E_CALL_CANCELED).
inline constexpr std::int64_t NotAnswered = 0x80010002;

// True for a failure that means the server's process is gone: it died or is
// unavailable (RPC_E_SERVER_DIED, RPC_E_SERVER_DIED_DNE, RPC_S_SERVER_UNAVAILABLE),
// the call failed in the transport (RPC_S_CALL_FAILED), or the object is no
// longer connected (RPC_E_DISCONNECTED, CO_E_OBJNOTCONNECTED).
inline bool isGone(std::int64_t number) {
    for (std::int64_t gone :
         {0x80010007LL, 0x80010012LL, 0x800706BALL, 0x800706BELL, 0x80010108LL, 0x800401FDLL})
        if (number == gone)
            return true;
    return false;
}
} // namespace ServerError
