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
} // namespace ServerError
