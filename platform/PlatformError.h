// The error that every failing platform operation throws. Its message is the description that the
// control appends to its "Failed to ... with error: " reports.
#pragma once

#include <stdexcept>
#include <string>

namespace tarn::platform {

class PlatformError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace tarn::platform
