#include "console/stop_request.h"

StopRequest::Action StopRequest::interrupt() noexcept {
    return count_.fetch_add(1) == 0 ? Action::StopAfterDocument : Action::EndNow;
}
