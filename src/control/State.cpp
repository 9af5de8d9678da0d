#include "control/State.h"

#include "base/error.h"
#include "base/file_services.h"
#include "base/folders.h"
#include "base/ports.h"
#include "base/views.h"
#include "control/Command.h"
#include "control/Stack.h"
#include "control/documents.h"
#include "control/job_driver.h"
// From the spine above: the coordinator (job settings, main window), the
// program's services and the word processor's connection, through General.
#include "core/General.h"
#include "core/Mediator.h"
#include "core/connection.h"
#include "version.h"

namespace {

Mediator& required(Mediator* coordinator) {
    return required(coordinator, "the mode has no coordinator");
}

void tellUser(const std::string& text) {
    General::platform().messageBox(text, TARNWICK_TITLE, MsgIcon::None, MsgButtons::Ok);
}

// Where a batch stood before its next job: the queue it held and the jobs
// left in it.
struct QueueMark {
    std::shared_ptr<Stack> queue;
    std::size_t left = 0;
};

QueueMark markOf(const std::shared_ptr<Stack>& queue) {
    return {queue, queue->size()};
}

// True when the batch has moved on since the mark: a job was taken off its
// queue, or a new queue took its place. A failure after which neither
// happened leaves nothing to go on with.
bool movedOnSince(const QueueMark& mark, const std::shared_ptr<Stack>& queue) {
    return queue != mark.queue || queue->size() != mark.left;
}

// A run of documents as the progress display counts it: begun with the
// documents queued, ended however the run ends: with the loop that runs its
// jobs, which is not this start's own when it was issued while another run's
// jobs were running (so that it cannot end that loop's progress early).
class ProgressRun {
public:
    ProgressRun(BatchProgress& progress, std::size_t documents) : progress_(progress) {
        progress_.begin(documents);
    }
    ~ProgressRun() {
        BatchProgress& progress = progress_;
        JobDriver::WhenLoopEnds([&progress] { progress.end(); });
    }
    ProgressRun(const ProgressRun&) = delete;
    ProgressRun& operator=(const ProgressRun&) = delete;

private:
    BatchProgress& progress_;
};

// The per-user lock that lets one batch convert at a time, held while a run
// of documents lasts. Two runs on one word processor would interleave on its
// single current document and write wrong results. A lock that cannot be
// looked at is no other batch: the user reads why.
class BatchLockScope {
public:
    BatchLockScope() {
        try {
            taken_ = General::platform().takeBatchLock();
            if (!taken_)
                tellUser(kAnotherBatch);
        } catch (const AppError& error) {
            tellUser(error.description());
        }
    }
    ~BatchLockScope() {
        if (taken_)
            General::platform().releaseBatchLock();
    }
    BatchLockScope(const BatchLockScope&) = delete;
    BatchLockScope& operator=(const BatchLockScope&) = delete;
    explicit operator bool() const { return taken_; }

private:
    bool taken_ = false;
};

// Results older than this that a run left under their temporary names are
// leftovers of a run that broke off; a younger one may belong to a run on
// another PC that saves into the same folder now.
constexpr std::uint64_t kLeftoverAgeSeconds = 60 * 60;

} // namespace

std::string unreadableSourceText(const std::string& folder, const std::string& reason) {
    return "The source folder could not be read:\r\n" + folder + "\r\n" + reason;
}

Mediator& WorkingMode::coordinator() {
    return required(coordinator_);
}

void WorkingMode::Command2(std::string&) {
    // The queue is the one this mode holds when the command is issued; its
    // oldest job is taken when the job before has returned.
    std::shared_ptr<Stack> queue = queue_;
    JobDriver::Run([queue] {
        if (queue && queue->hasMoreElements()) {
            std::shared_ptr<ParseObject> element = queue->NextElement();
            element->Execute();
        }
    });
}

std::vector<std::string> WorkingMode::dropQueued() {
    std::vector<std::string> paths;
    while (queue_ && queue_->hasMoreElements())
        if (const auto document = std::dynamic_pointer_cast<DocumentElement>(queue_->NextElement()))
            paths.push_back(document->path());
    return paths;
}

void State1::Command1(std::string& path) {
    const BatchLockScope lock;
    if (!lock)
        return;
    General::wordPerfect().beginRun();
    coordinator().mainWindow().ListView1().clear();
    queue_ = std::make_shared<Stack>();
    if (isDocument(path)) {
        auto element = std::make_shared<ParseObject2>();
        element->init(path);
        queue_->add(element);
    }
    const ProgressRun run(coordinator().mainWindow().Progress(), queue_->size());
    // A failure of the job goes back to the single-document choice.
    issueNextJob(coordinator());
}

namespace {

// The folders of a batch, when both are chosen and the target is not inside
// the source of a batch with subfolders; tells the user otherwise.
bool foldersFit(const std::string& source, const std::string& target, bool subfolders) {
    // Without a source there is nothing to list (an empty path would list
    // the current folder), without a target every result would land in the
    // root of the current drive.
    if (source.empty()) {
        tellUser("Select a source folder before starting a batch.");
        return false;
    }
    if (target.empty()) {
        tellUser("Select a target folder before starting a batch.");
        return false;
    }
    // Results mirrored below a target inside the source would be found
    // again below the source, by a later run if not by this one.
    FileServices& services = General::files();
    if (subfolders && folderRelation(target, source, [&services](const std::string& path) {
                          return services.folderIdentity(path);
                      }) == FolderRelation::Inside) {
        tellUser(kTargetInsideSource);
        return false;
    }
    return true;
}

// A queued element for each document found, and for each folder below the
// source that could not be read.
std::shared_ptr<Stack> queueOf(const std::vector<FoundItem>& found) {
    auto queue = std::make_shared<Stack>();
    for (const FoundItem& item : found) {
        std::shared_ptr<DocumentElement> element;
        if (item.unreadable.empty()) {
            element = std::make_shared<ParseObject1>();
        } else {
            auto folder = std::make_shared<UnreadableFolder>();
            folder->setReason(item.unreadable);
            element = folder;
        }
        element->init(item.path);
        queue->add(element);
    }
    return queue;
}

} // namespace

void State2::Command1(std::string&) {
    const BatchLockScope lock;
    if (!lock)
        return;
    MainWindowView& window = coordinator().mainWindow();
    window.ListView1().clear();
    queue_ = std::make_shared<Stack>();
    const std::string source = coordinator().GetSourceFolder(), target = coordinator().GetTgtFolder();
    const bool subfolders = coordinator().GetIncludeSubfolders();
    if (!foldersFit(source, target, subfolders))
        return;
    const std::size_t leftovers = General::files().removeLeftoverTemporaries(target, kLeftoverAgeSeconds);
    // A folder that cannot be read, or whose listing breaks off part-way,
    // starts nothing: a part of it would pass for the whole. A folder below
    // it that cannot be read is one failed row in its place.
    try {
        queue_ = queueOf(documentsIn(window.FileList(), General::files(), source, subfolders));
    } catch (...) {
        tellUser(unreadableSourceText(source, currentError().description()));
        return;
    }
    General::wordPerfect().beginRun();
    const ProgressRun run(window.Progress(), queue_->size());
    window.Progress().leftoversRemoved(leftovers);
    runQueue();
}

// Runs the whole batch. A job that fails is abandoned and the batch goes on
// with the next queued document; a failure that took no job off the queue
// (nothing left to go on with) goes to the caller.
void State2::runQueue() {
    for (;;) {
        const QueueMark mark = markOf(queue_);
        try {
            issueNextJob(coordinator());
            return;
        } catch (...) {
            if (!movedOnSince(mark, queue_))
                throw;
        }
    }
}

void State3::Command1(std::string&) {
    required(coordinator_).mainWindow().ListView1().clear();
}

void StateManager::init(Mediator& coordinator) {
    stateOne_ = std::make_shared<State1>();
    stateOne_->init(coordinator);
    stateTwo_ = std::make_shared<State2>();
    stateTwo_->init(coordinator);
    stateThree_ = std::make_shared<State3>();
    stateThree_->init(coordinator);
    current_ = stateThree_;
}

State& StateManager::currentMode() {
    return required(current_, "the mode manager has no current mode");
}

void StateManager::Command1(std::string& text) {
    currentMode().Command1(text);
}
void StateManager::Command2(std::string& text) {
    currentMode().Command2(text);
}
void StateManager::Command3() {
    currentMode().Command3();
}
std::vector<std::string> StateManager::dropQueued() {
    return currentMode().dropQueued();
}
