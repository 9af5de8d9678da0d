#include "base/failure_reasons.h"

namespace FailureReason {

std::string spokenDuration(int seconds) {
    const auto count = [](int n, const char* unit) {
        return std::to_string(n) + " " + unit + (n == 1 ? "" : "s");
    };
    if (seconds < 60)
        return count(seconds, "second");
    const std::string minutes = count(seconds / 60, "minute");
    return seconds % 60 == 0 ? minutes : minutes + " " + count(seconds % 60, "second");
}

std::string didNotFinish(std::string_view document, int seconds) {
    return "WordPerfect did not finish " + std::string(document) + " within " + spokenDuration(seconds);
}

std::string didNotStart(int seconds) {
    return "WordPerfect did not start within " + spokenDuration(seconds);
}

} // namespace FailureReason
