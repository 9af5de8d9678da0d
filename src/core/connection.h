#pragma once
// The word processor as the jobs and the macro runner reach it: the
// program-wide automation object, and what its calls have shown about the
// server. Every document gets a time limit of its own; a document on which
// the server stops answering (a dialog that waits for a person, a macro that
// never ends) costs that document and no more: a WordPerfect this program
// started is ended and started again, one the user started is never ended
// and the run is given up instead.
#include "base/error.h"
#include "base/late_binding.h"

#include <chrono>
#include <optional>
#include <string>

class WordPerfectConnection final : public LateBound {
public:
    using Clock = std::chrono::steady_clock;
    // A document's time limit unless one is set: all its calls and its
    // macro's play together.
    static constexpr int kDocumentLimitSeconds = 10 * 60;
    // Documents in a row on which a WordPerfect this program started was
    // stuck and ended: after them the run is given up, since an archive that
    // WordPerfect cannot work on would cost the limit on every document.
    static constexpr int kWedgedInARowTolerated = 5;

    void setDocumentLimit(int seconds) { limitSeconds_ = seconds; }
    int documentLimit() const { return limitSeconds_; }

    // A batch or a single document starts: a server given up on before is
    // tried again (with the time of a first start, when there is no object).
    void beginRun();
    // Obtains the word processor's object at the program's start, as a cold
    // start; false when it cannot be had (startFailure() says why).
    bool connect();
    const std::optional<AppError>& startFailure() const { return startFailure_; }
    // A document starts; its time runs from now. A new object is obtained
    // first when the last one's server has gone. Raises at once, without a
    // call, when the run was given up or the server cannot be started again.
    void beginDocument(const std::string& document);
    // The document's time starts anew: the time a person took in a dialog
    // of the program (the single document's Save dialog) is not the word
    // processor's.
    void restartDocumentClock();
    // The document failed: its clean-up calls are not held to its time
    // limit (a document that failed near it is no stuck server), only to the
    // server's own call limits.
    void cleaningUp();

    Value call(std::string_view name, std::span<const Arg> args = {}) override;
    Value get(std::string_view name) override;

    // Forgets everything (the program-wide state is reset).
    void reset() { *this = WordPerfectConnection{}; }

private:
    void obtain(bool cold);
    void obtainAgainOrGiveUp();
    template <typename Send> Value send(Send&& send);
    bool timeIsUp() const;
    // The document is wedged: nothing more goes to this server. Answers the
    // error the document fails with.
    AppError wedged(const AppError& error);

    int limitSeconds_ = kDocumentLimitSeconds;
    bool lost_ = false;                         // the server of the object held has gone
    bool coldStart_ = false;                    // the run's first object is a first start
    std::string document_;                      // the file name of the document in progress
    std::optional<Clock::time_point> deadline_; // of the document in progress
    bool callMadeInDocument_ = false;
    bool cleaningUp_ = false;
    bool wedgedInDocument_ = false;
    int wedgedInARow_ = 0;
    std::optional<AppError> documentRefusal_; // the rest of this document fails with it, uncalled
    std::optional<AppError> runRefusal_;      // the rest of this run fails with it, uncalled
    std::optional<AppError> startFailure_;
};
