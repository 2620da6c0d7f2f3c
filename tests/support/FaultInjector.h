// Makes named platform operations fail on request, so that tests can drive every error path of
// the control. Attached to a platform, it is asked at the start of each operation; when a matching
// fault is armed, Check() throws PlatformError with a description. Every checked call is counted,
// and can be recorded, so that a test can fail the k-th call of a session whatever it is.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FaultCheck.h"

namespace tarn::platform {

class FaultInjector final : public FaultCheck {
public:
    /// Any target: the fault matches the operation on every widget or device context.
    static constexpr int kAnyTarget = FaultCheck::kAnyTarget;
    /// Times: the fault stays armed until Clear().
    static constexpr int kForever = -1;
    /// Any operation: Fail(kAnyOperation, kAnyTarget, k, 1) fails the checked call number k
    /// (counted from 0 at arming), whichever operation it is.
    static constexpr std::string_view kAnyOperation = "*";

    /// One checked call: the operation's name and its target.
    struct Call {
        std::string operation;
        int target = kAnyTarget;
        bool operator==(const Call&) const = default;
    };

    /// Arms a fault: the operation fails on target after `skip` matching calls succeeded, then
    /// `times` calls in a row fail (kForever: every later call).
    void Fail(std::string operation, int target = kAnyTarget, int skip = 0, int times = kForever);
    /// Disarms every fault; the counts and the record stay.
    void Clear();
    /// Throws PlatformError when an armed fault matches this call of the operation on target.
    void Check(std::string_view operation, int target) override;
    /// The call that the last injected failure was thrown from.
    const std::optional<Call>& LastFailure() const { return lastFailure_; }
    /// Number of calls checked so far, failed or not.
    long long Checked() const { return checked_; }
    /// While recording, every checked call is appended to Calls().
    void Record(bool on) { recording_ = on; }
    const std::vector<Call>& Calls() const { return calls_; }

    /// The description an injected failure of the operation on target carries.
    static std::string Describe(std::string_view operation, int target);

private:
    struct Fault {
        std::string operation;
        int target;
        int skip;
        int times;
    };
    std::vector<Fault> faults_;
    long long checked_ = 0;
    bool recording_ = false;
    std::vector<Call> calls_;
    std::optional<Call> lastFailure_;
};

}  // namespace tarn::platform
