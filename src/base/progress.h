#pragma once
// How far a run of documents is: a batch, or the one document chosen with
// "Open". The modes begin and end a run; the jobs say when a document starts
// and how it ended. The windows show it in the status bar and on the taskbar
// button, the console program line by line.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class BatchProgress {
public:
    // A document of a run that was given up is not started; with no macro
    // chosen a document is saved as it is.
    enum class Outcome { Converted, Failed, NotStarted, SavedWithoutMacro };
    enum class Event { Began, DocumentStarted, DocumentFinished, Ended, TemporaryNotRemoved };

    // Told after each event, with the figures already counted.
    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void progressChanged(const BatchProgress& progress, Event event) = 0;
    };

    // The clock, in seconds from any fixed point; a steady clock by default.
    using Clock = std::function<double()>;
    explicit BatchProgress(Clock clock = {});

    void setObserver(Observer* observer) { observer_ = observer; }

    // A run of this many queued documents starts; the counts start anew.
    void begin(std::size_t documents);
    void started(const std::string& path);
    void finished(const std::string& path, Outcome outcome, const std::string& reason = {});
    // The run is over (also when it was cut short).
    void end();
    // Temporary files of results that runs which broke off left behind,
    // removed before this run listed its documents.
    void leftoversRemoved(std::size_t count) { leftovers_ += count; }
    // A temporary file of the document in progress could not be removed;
    // the document's own outcome does not change.
    void temporaryNotRemoved(const std::string& path);

    bool running() const { return running_; }
    std::size_t total() const { return total_; }
    // The number of the document in progress (or of the last one), from 1.
    std::size_t current() const { return current_; }
    std::size_t done() const { return converted_ + savedWithoutMacro_ + failed_ + notStarted_; }
    std::size_t converted() const { return converted_; }
    std::size_t savedWithoutMacro() const { return savedWithoutMacro_; }
    std::size_t failed() const { return failed_; }
    std::size_t notStarted() const { return notStarted_; }
    // Seconds since the run began (until it ended, once it has).
    double elapsed() const;

    // The document the last event was about, how it ended, why it failed,
    // and how long it took in seconds.
    const std::string& lastPath() const { return lastPath_; }
    Outcome lastOutcome() const { return lastOutcome_; }
    const std::string& lastReason() const { return lastReason_; }
    double lastSeconds() const { return lastSeconds_; }

    // "Document 12 of 300: 11 done, 10 converted, 1 failed" while a run goes
    // on, "300 documents: 298 converted, 2 failed, in 4 min 12 s" after it;
    // "5 saved without a macro (none is chosen)" takes the place of the
    // converted count when no macro was played; empty text before the first
    // run.
    std::string text() const;
    // What the run's summary adds about temporary files: "; 2 leftover
    // temporary files removed; 1 temporary file could not be removed: PATH",
    // or empty text.
    std::string notes() const;
    // The temporary files of this run that could not be removed.
    const std::vector<std::string>& unremoved() const { return unremoved_; }

private:
    void tell(Event event);

    Clock clock_;
    Observer* observer_ = nullptr; // not owned
    bool begun_ = false;
    bool running_ = false;
    std::size_t total_ = 0;
    std::size_t current_ = 0;
    std::size_t converted_ = 0;
    std::size_t savedWithoutMacro_ = 0;
    std::size_t failed_ = 0;
    std::size_t notStarted_ = 0;
    double beganAt_ = 0;
    double endedAt_ = 0;
    double documentBeganAt_ = 0;
    std::string lastPath_;
    Outcome lastOutcome_ = Outcome::Converted;
    std::string lastReason_;
    double lastSeconds_ = 0;
    std::size_t leftovers_ = 0;
    std::vector<std::string> unremoved_;
};

// "1 temporary file could not be removed: PATH".
std::string temporaryNotRemovedText(const std::string& path);

// A duration as people read it: "0.8 s" under ten seconds, "42 s" under a
// minute, "4 min 12 s" under an hour, "2 h 5 min" beyond.
std::string durationText(double seconds);
