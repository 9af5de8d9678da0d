#include "core/connection.h"

#include "base/failure_reasons.h"
#include "base/ports.h"
#include "core/General.h"
#include "files/clsFileSystem.h"

#include <utility>

namespace {
const char* const kProgId = "WordPerfect.PerfectScript";

AppError givenUp() {
    return AppError(ErrorNumber::NotStarted, FailureReason::GivenUp);
}

// A call the server did not answer within its time, or refused for longer
// than the busy limit: the server is held by something (a dialog waiting
// for a person) and its state is unknown.
bool stuck(const AppError& error) {
    return error.number() == ServerError::NotAnswered || error.number() == ServerError::Rejected;
}
} // namespace

void WordPerfectConnection::beginRun() {
    runRefusal_.reset();
    documentRefusal_.reset();
    wedgedInDocument_ = false;
    wedgedInARow_ = 0;
    coldStart_ = !General::WordPerfect;
}

void WordPerfectConnection::obtain(bool cold) {
    auto object = General::platform().createObject(kProgId, cold ? ServerStart::Cold : ServerStart::Again);
    if (!object)
        throw AppError(ErrorNumber::ObjectRequired, "Object required: no automation object was made");
    General::WordPerfect = std::move(object);
    lost_ = false;
}

bool WordPerfectConnection::connect() {
    try {
        obtain(true);
        startFailure_.reset();
        return true;
    } catch (...) {
        startFailure_ = currentError();
        return false;
    }
}

// The dead object is let go without a call (there is nobody to answer it)
// and a new one made; one that cannot be made fails the rest of the run.
void WordPerfectConnection::obtainAgainOrGiveUp() {
    General::LetGoOfWordPerfect();
    try {
        obtain(std::exchange(coldStart_, false));
    } catch (...) {
        runRefusal_ = AppError(currentError().number(), FailureReason::NotRestartable);
        throw *runRefusal_;
    }
}

bool WordPerfectConnection::timeIsUp() const {
    // A call given up at the document's limit may come back a tick early by
    // the clock of its wait.
    return deadline_ && !cleaningUp_ && Clock::now() + std::chrono::milliseconds(100) >= *deadline_;
}

void WordPerfectConnection::cleaningUp() {
    cleaningUp_ = true;
    if (General::WordPerfect)
        General::WordPerfect->setDeadline(std::nullopt);
}

void WordPerfectConnection::restartDocumentClock() {
    deadline_ = Clock::now() + std::chrono::seconds(limitSeconds_);
    if (General::WordPerfect)
        General::WordPerfect->setDeadline(deadline_);
}

void WordPerfectConnection::beginDocument(const std::string& document) {
    if (!wedgedInDocument_)
        wedgedInARow_ = 0;
    wedgedInDocument_ = false;
    callMadeInDocument_ = false;
    cleaningUp_ = false;
    documentRefusal_.reset();
    document_ = clsFileSystem().GetFileName(document);
    if (runRefusal_)
        throw *runRefusal_;
    if (lost_ || !General::WordPerfect)
        obtainAgainOrGiveUp();
    coldStart_ = false;
    restartDocumentClock();
}

AppError WordPerfectConnection::wedged(const AppError& error) {
    wedgedInDocument_ = true;
    ++wedgedInARow_;
    // The document's time is up however the call ended: that is its reason.
    const AppError reason =
        timeIsUp() ? AppError(ErrorNumber::TimedOut, FailureReason::didNotFinish(document_, limitSeconds_),
                              error.source())
                   : error;
    // The stuck call may still act on whatever document is open when it
    // ends: this server gets nothing more, clean-up included.
    if (General::WordPerfect && General::WordPerfect->endStartedServer()) {
        lost_ = true;
        const bool last = wedgedInARow_ >= kWedgedInARowTolerated;
        documentRefusal_ =
            AppError(reason.number(),
                     reason.description() + (last ? FailureReason::Ended : FailureReason::EndedAndStarted),
                     reason.source());
        if (last)
            runRefusal_ = givenUp();
    } else {
        // The user's own WordPerfect, perhaps with a dialog waiting for
        // them: never ended; the documents left are not started.
        documentRefusal_ = reason;
        runRefusal_ = givenUp();
    }
    return *documentRefusal_;
}

template <typename Send> Value WordPerfectConnection::send(Send&& send) {
    if (documentRefusal_)
        throw *documentRefusal_;
    if (runRefusal_)
        throw *runRefusal_;
    if (!General::WordPerfect)
        throw AppError(ErrorNumber::ObjectRequired, "Object required: WordPerfect is not connected");
    if (timeIsUp())
        throw wedged(AppError(ErrorNumber::TimedOut, "", kProgId));
    for (bool again = !callMadeInDocument_;; again = false) {
        try {
            Value result = send(*General::WordPerfect);
            callMadeInDocument_ = true;
            return result;
        } catch (const AppError& error) {
            if (ServerError::isGone(error.number())) {
                // Gone before the document's first call had any effect
                // (WordPerfect closed or crashed between runs): a new one
                // gets that call once more.
                if (again) {
                    obtainAgainOrGiveUp();
                    General::WordPerfect->setDeadline(deadline_);
                    continue;
                }
                callMadeInDocument_ = true;
                // A server that has gone answers nothing more, clean-up included.
                lost_ = true;
                documentRefusal_ = error;
                throw;
            }
            callMadeInDocument_ = true;
            if (stuck(error))
                throw wedged(error);
            throw;
        }
    }
}

Value WordPerfectConnection::call(std::string_view name, std::span<const Arg> args) {
    return send([&](LateBound& object) { return object.call(name, args); });
}

Value WordPerfectConnection::get(std::string_view name) {
    return send([&](LateBound& object) { return object.get(name); });
}
