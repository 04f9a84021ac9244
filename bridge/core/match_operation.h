// FK_VerifyMatch as both bridges run it around their own comparison: an
// operation of its own with a status of its own, refused while another
// operation runs, a failure inside it reported in that status, and the
// outcome handed to the caller's record when there is one.
#pragma once

#include <cstdint>

#include "bio_status.h"
#include "failure.h"
#include "operation_guard.h"

// `compare(BioStatus*)` runs the comparison into the status, and only when the
// operation may run. Returns 1 on a match, else 0.
template <class Compare>
int32_t RunMatchOperation(BioStatus* statusOut, Compare&& compare) noexcept {
    const auto withoutStatus = [&] {
        FailWithoutStatus(kOpVerifyMatch, statusOut);
        return 0;
    };
    return CatchAll(withoutStatus, [&] {
        OwnedStatus status(kOpVerifyMatch);
        const OperationGuard guard;
        if (!guard.entered()) {
            Fail<kBusy>(status.get());
        } else {
            CatchAll([&] { FailInside(status.get()); }, [&] { compare(status.get()); });
        }
        if (statusOut) HandOverStatus(status, statusOut);
        return status->matched ? 1 : 0;
    });
}
