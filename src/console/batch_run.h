#pragma once
// The console program's side of a batch that the modes run: a line on
// standard output and a report row for each document as it finishes, the
// messages the program would show in a box on standard error, and the stop
// between two documents.
#include "base/progress.h"
#include "console/console_text.h"

#include <functional>
#include <string>
#include <vector>

class BatchReport;
class ConsoleOutput;
class StopRequest;

class BatchRun : public BatchProgress::Observer {
public:
    // dropQueued ends the run after the document in progress and answers the
    // documents it leaves unstarted. The report may be null (none asked for).
    BatchRun(ConsoleOutput& console, BatchReport* report, const StopRequest& stop,
             std::function<std::vector<std::string>()> dropQueued);

    // A document left out of the batch because an earlier run converted it;
    // reported first when the run begins.
    void addSkipped(const std::string& path) { skipped_.push_back(path); }
    // The first line of the run, when it begins (empty: none).
    void setHeading(std::function<std::string()> heading) { heading_ = std::move(heading); }
    // A message for the user: on standard error, and in the report row of the
    // document in progress.
    void message(const std::string& text);
    void progressChanged(const BatchProgress& progress, BatchProgress::Event event) override;

    bool began() const { return began_; }
    // A message came before the run began: the batch refused to start (its
    // source folder could not be read).
    bool refused() const { return refused_; }
    const BatchCounts& counts() const { return counts_; }
    // A row could not be written to the report.
    bool reportFailed() const { return reportFailed_; }

private:
    void record(DocumentStatus status, const std::string& path, double seconds, const std::string& reason);
    void stopIfAsked();
    // Writes to the report, if there is one and it has not failed yet.
    void toReport(const std::function<void(BatchReport&)>& write);

    ConsoleOutput& console_;
    BatchReport* report_; // not owned
    const StopRequest& stop_;
    std::function<std::vector<std::string>()> dropQueued_;
    std::vector<std::string> skipped_;
    std::function<std::string()> heading_;
    std::string messages_; // shown while the document in progress ran
    bool inDocument_ = false;
    bool began_ = false;
    bool refused_ = false;
    bool reportFailed_ = false;
    std::size_t number_ = 0;
    std::size_t total_ = 0;
    BatchCounts counts_;
};
