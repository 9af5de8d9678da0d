#include "base/progress.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::string count(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

BatchProgress::BatchProgress(Clock clock) : clock_(clock ? std::move(clock) : Clock(steadySeconds)) {}

void BatchProgress::begin(std::size_t documents) {
    begun_ = true;
    running_ = true;
    total_ = documents;
    current_ = converted_ = savedWithoutMacro_ = failed_ = notStarted_ = 0;
    beganAt_ = endedAt_ = documentBeganAt_ = clock_();
    lastPath_.clear();
    lastReason_.clear();
    lastSeconds_ = 0;
    leftovers_ = 0;
    unremoved_.clear();
    tell(Event::Began);
}

void BatchProgress::started(const std::string& path) {
    ++current_;
    documentBeganAt_ = clock_();
    lastPath_ = path;
    lastReason_.clear();
    tell(Event::DocumentStarted);
}

void BatchProgress::finished(const std::string& path, Outcome outcome, const std::string& reason) {
    // A document that failed before it could start (its row could not be
    // added) still counts, as one more document.
    if (path != lastPath_ || done() == current_) {
        ++current_;
        documentBeganAt_ = clock_();
    }
    switch (outcome) {
    case Outcome::Converted:
        ++converted_;
        break;
    case Outcome::SavedWithoutMacro:
        ++savedWithoutMacro_;
        break;
    case Outcome::Failed:
        ++failed_;
        break;
    case Outcome::NotStarted:
        ++notStarted_;
        break;
    }
    lastPath_ = path;
    lastOutcome_ = outcome;
    lastReason_ = outcome == Outcome::Failed || outcome == Outcome::NotStarted ? reason : std::string();
    lastSeconds_ = clock_() - documentBeganAt_;
    tell(Event::DocumentFinished);
}

void BatchProgress::end() {
    if (!running_)
        return;
    running_ = false;
    endedAt_ = clock_();
    tell(Event::Ended);
}

void BatchProgress::temporaryNotRemoved(const std::string& path) {
    unremoved_.push_back(path);
    tell(Event::TemporaryNotRemoved);
}

double BatchProgress::elapsed() const {
    return (running_ ? clock_() : endedAt_) - beganAt_;
}

std::string BatchProgress::text() const {
    if (!begun_)
        return {};
    std::string counts;
    if (converted_ != 0 || savedWithoutMacro_ == 0)
        counts = std::to_string(converted_) + " converted, ";
    if (savedWithoutMacro_ != 0)
        counts += std::to_string(savedWithoutMacro_) + " saved without a macro (none is chosen), ";
    counts += std::to_string(failed_) + " failed";
    if (notStarted_ != 0)
        counts += ", " + std::to_string(notStarted_) + " not started";
    if (running_)
        return "Document " + std::to_string(current_) + " of " + std::to_string(total_) + ": " +
               std::to_string(done()) + " done, " + counts;
    return count(done(), "document", "documents") + ": " + counts + ", in " + durationText(elapsed()) +
           notes();
}

std::string BatchProgress::notes() const {
    std::string text;
    if (leftovers_ != 0)
        text += "; " + count(leftovers_, "leftover temporary file", "leftover temporary files") + " removed";
    if (unremoved_.size() == 1)
        text += "; " + temporaryNotRemovedText(unremoved_.front());
    else if (!unremoved_.empty())
        text += "; " + std::to_string(unremoved_.size()) +
                " temporary files could not be removed: " + unremoved_.front() + " and " +
                std::to_string(unremoved_.size() - 1) + " more";
    return text;
}

std::string temporaryNotRemovedText(const std::string& path) {
    return "1 temporary file could not be removed: " + path;
}

void BatchProgress::tell(Event event) {
    if (observer_ != nullptr)
        observer_->progressChanged(*this, event);
}

std::string durationText(double seconds) {
    if (!(seconds > 0))
        seconds = 0;
    if (seconds < 10) {
        char text[16];
        std::snprintf(text, sizeof text, "%.1f s", std::floor(seconds * 10) / 10);
        return text;
    }
    const auto whole = static_cast<long long>(seconds);
    if (whole < 60)
        return std::to_string(whole) + " s";
    if (whole < 3600)
        return std::to_string(whole / 60) + " min " + std::to_string(whole % 60) + " s";
    return std::to_string(whole / 3600) + " h " + std::to_string(whole % 3600 / 60) + " min";
}
