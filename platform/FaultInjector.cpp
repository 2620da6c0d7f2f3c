#include "platform/FaultInjector.h"

#include "platform/PlatformError.h"

namespace tarn::platform {

void FaultInjector::Fail(std::string operation, int target, int skip, int times) {
    faults_.push_back(Fault{std::move(operation), target, skip, times});
}

void FaultInjector::Clear() {
    faults_.clear();
}

void FaultInjector::Check(std::string_view operation, int target) {
    if (faults_.empty()) return;
    for (Fault& fault : faults_) {
        if (fault.operation != operation) continue;
        if (fault.target != kAnyTarget && fault.target != target) continue;
        if (fault.skip > 0) {
            --fault.skip;
            continue;
        }
        if (fault.times == 0) continue;
        if (fault.times > 0) --fault.times;
        ++thrown_;
        std::string description = std::string(operation) + " failed";
        if (target != kAnyTarget) description += " on target " + std::to_string(target);
        throw PlatformError(description);
    }
}

}  // namespace tarn::platform
