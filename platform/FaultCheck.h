// A hook through which a platform lets its operations be failed on request: the platform asks the
// attached check at the start of each operation, and the check throws PlatformError to fail it.
// With nothing attached every operation goes ahead unchecked. The platforms that ship attach
// nothing; tests attach an injector that they arm.
#pragma once

#include <string_view>

namespace tarn::platform {

class FaultCheck {
public:
    /// Any target: the operation is not tied to one widget or device context.
    static constexpr int kAnyTarget = -1;

    virtual ~FaultCheck() = default;
    /// Throws PlatformError when this call of operation on target is to fail.
    virtual void Check(std::string_view operation, int target) = 0;
};

/// Where a platform's widgets ask: the check attached to the platform, if any.
class FaultPoint {
public:
    void Attach(FaultCheck* check) { check_ = check; }
    void Check(std::string_view operation, int target = FaultCheck::kAnyTarget) const {
        if (check_ != nullptr) check_->Check(operation, target);
    }

private:
    FaultCheck* check_ = nullptr;
};

}  // namespace tarn::platform
