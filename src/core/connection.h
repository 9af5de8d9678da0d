#pragma once
// The word processor as the jobs and the macro runner reach it: the
// program-wide automation object, and what its calls have shown about the
// server, so that a server that does not answer is not waited on again and
// again, and one that has gone is replaced before the next document.
#include "base/error.h"
#include "base/late_binding.h"

#include <optional>

class WordPerfectConnection final : public LateBound {
public:
    // A batch or a single document starts: a server given up on before is
    // tried again.
    void beginRun();
    // Obtains the word processor's object, as at start-up; false when it
    // cannot be had.
    bool connect();
    // A document starts: a new object is obtained first when the last one's
    // server has gone. Raises at once, without a call, when the server was
    // given up on in this run or cannot be started again.
    void beginDocument();

    Value call(std::string_view name, std::span<const Arg> args = {}) override;
    Value get(std::string_view name) override;

    // Forgets everything (the program-wide state is reset).
    void reset() { *this = WordPerfectConnection{}; }

private:
    void obtain();
    template <typename Send> Value send(Send&& send);

    bool lost_ = false; // the server of the object held has gone
    bool unansweredInDocument_ = false;
    int unansweredDocuments_ = 0;             // documents in a row with a call the server did not answer
    std::optional<AppError> documentRefusal_; // the rest of this document fails with it, uncalled
    std::optional<AppError> runRefusal_;      // the rest of this run fails with it, uncalled
};
