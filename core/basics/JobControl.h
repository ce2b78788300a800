#pragma once

namespace kv {

// What long-running stages need of the job: progress and the stop check.
// The preview uses a control that reports nothing and never stops.
class JobControl {
public:
    virtual ~JobControl() = default;
    virtual void SetProgress(int percent) = 0;
    // A stop check: throws JobStopped when the user has asked the job to
    // stop. The checks of a creation come in the same order on every run.
    virtual void CheckStop() = 0;
    // Throws JobStopped as CheckStop does, from work whose share of the job
    // thread depends on timing (waiting for the helper thread, tasks either
    // thread may run); not counted as a check.
    virtual void PollStop() { CheckStop(); }
};

// A JobControl for work outside a creation (the previews, tests).
class SilentControl final : public JobControl {
public:
    void SetProgress(int) override {}
    void CheckStop() override {}
};

}  // namespace kv
