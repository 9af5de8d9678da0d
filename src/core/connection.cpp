#include "core/connection.h"

#include "base/failure_reasons.h"
#include "base/ports.h"
#include "core/General.h"

namespace {
const char* const kProgId = "WordPerfect.PerfectScript";

// After this many documents in a row with a call the server did not answer,
// the rest of the run fails at once: each would wait the whole call limit.
constexpr int kUnansweredDocumentsTolerated = 2;
} // namespace

void WordPerfectConnection::beginRun() {
    runRefusal_.reset();
    documentRefusal_.reset();
    unansweredInDocument_ = false;
    unansweredDocuments_ = 0;
}

void WordPerfectConnection::obtain() {
    auto object = General::platform().createObject(kProgId);
    if (!object)
        throw AppError(ErrorNumber::ObjectRequired, "Object required: no automation object was made");
    General::WordPerfect = std::move(object);
    lost_ = false;
}

bool WordPerfectConnection::connect() {
    try {
        obtain();
        return true;
    } catch (...) {
        return false;
    }
}

void WordPerfectConnection::beginDocument() {
    unansweredDocuments_ = unansweredInDocument_ ? unansweredDocuments_ + 1 : 0;
    if (unansweredDocuments_ >= kUnansweredDocumentsTolerated && documentRefusal_)
        runRefusal_ = documentRefusal_;
    unansweredInDocument_ = false;
    documentRefusal_.reset();
    if (runRefusal_)
        throw *runRefusal_;
    if (lost_) {
        // The dead object is let go without a call: there is nobody to
        // answer it.
        General::LetGoOfWordPerfect();
        try {
            obtain();
        } catch (const AppError& error) {
            runRefusal_ = AppError(error.number(), FailureReason::NotRestartable);
        } catch (...) {
            runRefusal_ = AppError(0, FailureReason::NotRestartable);
        }
        if (runRefusal_)
            throw *runRefusal_;
    }
}

template <typename Send> Value WordPerfectConnection::send(Send&& send) {
    if (documentRefusal_)
        throw *documentRefusal_;
    if (runRefusal_)
        throw *runRefusal_;
    if (!General::WordPerfect)
        throw AppError(ErrorNumber::ObjectRequired, "Object required: WordPerfect is not connected");
    try {
        return send(*General::WordPerfect);
    } catch (const AppError& error) {
        // A call the server did not answer leaves it in a state nobody
        // knows: the document's clean-up does not call it again.
        if (error.number() == ServerError::NotAnswered) {
            unansweredInDocument_ = true;
            documentRefusal_ = error;
        }
        // A server that has gone answers nothing more, clean-up included.
        if (ServerError::isGone(error.number())) {
            lost_ = true;
            documentRefusal_ = error;
        }
        throw;
    }
}

Value WordPerfectConnection::call(std::string_view name, std::span<const Arg> args) {
    return send([&](LateBound& object) { return object.call(name, args); });
}

Value WordPerfectConnection::get(std::string_view name) {
    return send([&](LateBound& object) { return object.get(name); });
}
