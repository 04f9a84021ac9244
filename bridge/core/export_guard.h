#pragma once

// Runs the body of an exported function so that no exception crosses the
// library boundary: any exception becomes the failure result the export promises.
template <class Result, class Body>
Result GuardExport(Result onFailure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return onFailure;
    }
}
