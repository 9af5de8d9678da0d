#pragma once
// Stopping a run from the keyboard: the first interruption asks the batch to
// stop after the document in progress, a second one ends the program at
// once. Interruptions arrive on a thread of their own.
#include <atomic>

class StopRequest {
public:
    enum class Action { StopAfterDocument, EndNow };

    // Records one interruption and answers what it calls for.
    Action interrupt() noexcept;
    // True once the first interruption has come; the batch reads it between documents.
    bool requested() const noexcept { return count_.load() != 0; }

private:
    std::atomic<int> count_{0};
};
