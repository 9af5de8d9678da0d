#include "console/batch_run.h"

#include "base/error.h"
#include "console/batch_report.h"
#include "console/console_ports.h"
#include "console/stop_request.h"

BatchRun::BatchRun(ConsoleOutput& console, BatchReport* report, const StopRequest& stop,
                   std::function<std::vector<std::string>()> dropQueued)
    : console_(console), report_(report), stop_(stop), dropQueued_(std::move(dropQueued)) {}

void BatchRun::message(const std::string& text) {
    const std::string line = oneLine(text);
    console_.err(kErrorPrefix + line);
    refused_ = refused_ || !began_;
    if (inDocument_)
        messages_ += (messages_.empty() ? "" : "; ") + line;
}

void BatchRun::progressChanged(const BatchProgress& progress, BatchProgress::Event event) {
    switch (event) {
    case BatchProgress::Event::Began:
        began_ = true;
        if (heading_)
            if (const std::string heading = heading_(); !heading.empty())
                console_.out(heading);
        total_ = skipped_.size() + progress.total();
        // Only now is the report emptied: a run that ends before this point
        // leaves an earlier report, which a resumed run relies on, as it was.
        toReport([](BatchReport& report) { report.begin(); });
        for (const std::string& path : skipped_)
            record(DocumentStatus::Skipped, path, 0, {});
        // Asked to stop before the first document: none is started.
        stopIfAsked();
        break;
    case BatchProgress::Event::DocumentStarted:
        inDocument_ = true;
        messages_.clear();
        break;
    case BatchProgress::Event::DocumentFinished: {
        inDocument_ = false;
        std::string reason = progress.lastReason();
        if (!messages_.empty())
            reason += (reason.empty() ? "" : "; ") + messages_;
        switch (progress.lastOutcome()) {
        case BatchProgress::Outcome::Converted:
        case BatchProgress::Outcome::SavedWithoutMacro:
            record(DocumentStatus::Converted, progress.lastPath(), progress.lastSeconds(), reason);
            break;
        case BatchProgress::Outcome::Failed:
            record(DocumentStatus::Failed, progress.lastPath(), progress.lastSeconds(), reason);
            break;
        case BatchProgress::Outcome::NotStarted:
            // The run was given up: said once, before the first such row.
            if (counts_.notStarted == 0)
                console_.err(std::string(kErrorPrefix) + kWordPerfectWaits);
            record(DocumentStatus::NotStarted, progress.lastPath(), 0, {});
            break;
        }
        stopIfAsked();
        break;
    }
    case BatchProgress::Event::TemporaryNotRemoved:
        message(temporaryNotRemovedText(progress.unremoved().back()));
        break;
    case BatchProgress::Event::Ended:
        break;
    }
}

void BatchRun::record(DocumentStatus status, const std::string& path, double seconds,
                      const std::string& reason) {
    ++number_;
    counts_.add(status);
    console_.out(documentLine(number_, total_, status, path, seconds, reason));
    toReport([&](BatchReport& report) { report.add(path, status, reason, seconds); });
}

void BatchRun::toReport(const std::function<void(BatchReport&)>& write) {
    if (report_ == nullptr || reportFailed_)
        return;
    try {
        write(*report_);
    } catch (const AppError& error) {
        // Said once; the batch goes on, and the run counts as incomplete.
        reportFailed_ = true;
        console_.err(kErrorPrefix + error.description());
    }
}

void BatchRun::stopIfAsked() {
    if (!stop_.requested())
        return;
    for (const std::string& path : dropQueued_())
        record(DocumentStatus::NotStarted, path, 0, {});
}
