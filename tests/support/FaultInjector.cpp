#include "tests/support/FaultInjector.h"

#include "platform/PlatformError.h"

namespace tarn::platform {

void FaultInjector::Fail(std::string operation, int target, int skip, int times) {
    faults_.push_back(Fault{std::move(operation), target, skip, times});
}

void FaultInjector::Clear() {
    faults_.clear();
}

std::string FaultInjector::Describe(std::string_view operation, int target) {
    std::string description = std::string(operation) + " failed";
    if (target != kAnyTarget) description += " on target " + std::to_string(target);
    return description;
}

void FaultInjector::Check(std::string_view operation, int target) {
    ++checked_;
    if (recording_) calls_.push_back(Call{std::string(operation), target});
    if (faults_.empty()) return;
    for (Fault& fault : faults_) {
        if (fault.operation != operation && fault.operation != kAnyOperation) continue;
        if (fault.target != kAnyTarget && fault.target != target) continue;
        if (fault.skip > 0) {
            --fault.skip;
            continue;
        }
        if (fault.times == 0) continue;
        if (fault.times > 0) --fault.times;
        lastFailure_ = Call{std::string(operation), target};
        throw PlatformError(Describe(operation, target));
    }
}

}  // namespace tarn::platform
