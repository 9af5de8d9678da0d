#include "control/job_driver.h"

#include <deque>

namespace JobDriver {
namespace {
std::deque<std::function<void()>> pending;
bool active = false;

struct LoopScope {
    LoopScope() { active = true; }
    ~LoopScope() { active = false; }
};
} // namespace

void Run(std::function<void()> step) {
    pending.push_back(std::move(step));
    if (active)
        return;
    LoopScope scope;
    while (!pending.empty()) {
        std::function<void()> next = std::move(pending.front());
        pending.pop_front();
        next();
    }
}

bool Active() {
    return active;
}

void Reset() {
    pending.clear();
    active = false;
}

} // namespace JobDriver
