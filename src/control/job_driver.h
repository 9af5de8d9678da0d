#pragma once
// Runs the queued jobs of a batch one after another without the call stack
// growing per document.
//
// Every job issues the next-job command at its end. Run inside the job that
// issued it, the next job would nest one level deeper per document; instead,
// a command issued while a job is running is recorded, with the mode and the
// queue current at that moment, and the loop that runs the jobs takes it up
// as soon as the job that issued it has returned. The jobs therefore run in
// queue order, each after the one before has done its work, with their
// yields unchanged, at a constant depth whatever the length of the batch.
#include <functional>

namespace JobDriver {
// Runs the step now when no job is running, together with every step
// recorded meanwhile; records it otherwise. A failure of a step reaches the
// caller that runs the loop; steps recorded before it stay recorded and run
// with the next loop.
void Run(std::function<void()> step);
// True while a loop is running jobs.
bool Active();
// Runs the action once the loop running now has run its last step (at once
// when no loop runs): what belongs to a run of jobs ends with the loop that
// runs them, not with a start issued while it runs.
void WhenLoopEnds(std::function<void()> action);
// Forgets recorded steps (tests start each case from nothing).
void Reset();
} // namespace JobDriver
