#include "control/job_driver.h"

#include <deque>

namespace JobDriver {
namespace {
std::deque<std::function<void()>> pending;
std::deque<std::function<void()>> atEnd;
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
    {
        LoopScope scope;
        while (!pending.empty()) {
            std::function<void()> next = std::move(pending.front());
            pending.pop_front();
            next();
        }
    }
    // A loop left by a failure keeps these for the loop that goes on.
    while (!atEnd.empty()) {
        std::function<void()> action = std::move(atEnd.front());
        atEnd.pop_front();
        action();
    }
}

void WhenLoopEnds(std::function<void()> action) {
    if (active)
        atEnd.push_back(std::move(action));
    else
        action();
}

bool Active() {
    return active;
}

void Reset() {
    pending.clear();
    atEnd.clear();
    active = false;
}

} // namespace JobDriver
