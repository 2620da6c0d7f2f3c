// Makes named platform operations fail on request, so that tests and hosts can drive every error
// path of the control. A platform calls Check() at the start of each operation; when a matching
// fault is armed, Check() throws PlatformError with a description.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarn::platform {

class FaultInjector {
public:
    /// Any target: the fault matches the operation on every widget or device context.
    static constexpr int kAnyTarget = -1;
    /// Times: the fault stays armed until Clear().
    static constexpr int kForever = -1;

    /// Arms a fault: the operation fails on target after `skip` matching calls succeeded, then
    /// `times` calls in a row fail (kForever: every later call).
    void Fail(std::string operation, int target = kAnyTarget, int skip = 0, int times = kForever);
    /// Disarms every fault.
    void Clear();
    /// Throws PlatformError when an armed fault matches this call of the operation on target.
    void Check(std::string_view operation, int target = kAnyTarget);
    /// Number of injected failures thrown so far.
    int Thrown() const { return thrown_; }

private:
    struct Fault {
        std::string operation;
        int target;
        int skip;
        int times;
    };
    std::vector<Fault> faults_;
    int thrown_ = 0;
};

}  // namespace tarn::platform
