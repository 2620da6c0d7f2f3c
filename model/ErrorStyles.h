// The control's three ways of handling an error inside an operation:
// - reporting: catch, show the operation's own "Failed to ... with error: " box, return normally;
// - silent: catch, forget, go on with the next step;
// - none: let the error go to the caller (plain C++ propagation, nothing to write).
#pragma once

#include <exception>

namespace tarn {

/// Runs one step of a silent operation: any error it throws is dropped.
template <class Step>
void Silently(Step&& step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

/// Runs the body of a reporting operation; an error ends the body and goes to report.
/// Returns false when the body failed.
template <class Body, class Report>
bool Reporting(Body&& body, Report&& report) {
    try {
        body();
        return true;
    } catch (const std::exception& error) {
        report(error);
        return false;
    }
}

}  // namespace tarn
