// Every failure the DigitalPersona bridge reports: its code and its text, by
// the operation that reports it.
#pragma once

#include <cstring>

#include "failure.h"

// FK_Init. Only messages: FK_Init's result says whether the session started.
inline constexpr Failure kDpfpDeviceInUse = {kMessageOnly, "ERROR - OPERATION (%d).Device already in use."};
inline constexpr Failure kDpfpFxInitFailed = {kMessageOnly, "ERROR (%d) - OPERATION (%d). Error on FX_init."};
inline constexpr Failure kDpfpMcInitFailed = {kMessageOnly, "ERROR (%d) - OPERATION (%d). Error on MC_init."};

// Comparisons: FK_VerifyMatch, and FK_Verify through it. The code given with
// kDpfpCompareFailed is the comparison module's result, its text the result's.
inline constexpr Failure kDpfpInvalidParameter = {7, "ERROR - FK_VerifyMatch - Invalid Parameter - %d", true};
inline constexpr Failure kDpfpStoredUnreadable = {8, "ERROR (%d) - FK_VerifyMatch - ToTemplateStored.", true};
inline constexpr Failure kDpfpVerifyUnreadable = {8, "ERROR (%d) - FK_VerifyMatch - ToTemplateVerify.", true};
inline constexpr Failure kDpfpCompareFailed = {kCodeAtCall, "ERROR (%d) - Verify - %s", true};

// The acquisition that enrollment and live capture share. The code given is
// the SDK's result (a reader error event's code), the text the result's.
inline constexpr Failure kDpfpWorkerNotStarted = {kCodeKept, "ERROR - The capture could not start its worker thread."};
inline constexpr Failure kDpfpAcquisitionNotCreated = {kCodeAtCall, "ERROR (%d) - DPFPCreateAcquisition - %s.", true};
inline constexpr Failure kDpfpAcquisitionNotStarted = {kCodeAtCall, "ERROR (%d) - DPFPStartAcquisition - %s.", true};
inline constexpr Failure kDpfpReaderError = {kCodeAtCall, "ERROR - Error code: 0x%X - %s.", true};
// "Cancelar", or the window closed from outside: the status keeps its message.
constexpr int32_t kDpfpCancelledError = 999;

// FK_Capture: the enrollment.
inline constexpr Failure kDpfpSetsOutOfReason = {
    kCodeKept, "ERROR - The comparison module asks for %d feature sets per template."};
inline constexpr Failure kDpfpFeatureSetSizeUnknown = {kCodeKept, "Fail to get features len (FX_getFeaturesLen)"};
inline constexpr Failure kDpfpNotExtracted = {kCodeKept, "Fail to extract features. (FX_extractFeatures)"};
inline constexpr Failure kDpfpPreEnrollmentFailed = {kCodeKept, "Pre-Enrollment feature set fail."};
inline constexpr Failure kDpfpTemplateSizeUnknown = {kCodeKept, "Fail to get features len (MC_getFeaturesLen)"};
inline constexpr Failure kDpfpTemplateNotMade = {kCodeKept, "Enrollment Template fail."};
inline constexpr Failure kDpfpEnrollmentIncomplete = {
    kCodeKept, "ERROR - Enrollment ended after %d of %d samples; no template was made."};

// FK_VerifyServer: the live capture.
inline constexpr Failure kDpfpNoSampleData = {kCodeKept, "ERROR - The reader sent an image without fingerprint data."};
inline constexpr Failure kDpfpNoFeatureSet = {
    kCodeKept, "ERROR - No verification feature set could be made from the fingerprint."};
inline constexpr Failure kDpfpReaderStopped = {kCodeKept, "ERROR - The reader stopped before a fingerprint was read."};
inline constexpr Failure kDpfpNoFingerRead = {kCodeKept, "ERROR - The capture ended before a fingerprint was read."};

// Both captures: the template as text.
inline constexpr Failure kDpfpNotPacked = {kCodeKept, "ERROR - Fingerprint template could not be packed, size: '%d'"};

// The text FK_VerifyServer hands back for a failed capture: the code and what
// happened, or the code alone for a cancel or a failure without words. A
// cancelled capture's text, "ERROR - 999", is never taken for a template.
inline constexpr Failure kDpfpCaptureFailedText = {kCodeAtCall, "ERROR - %d - %s", true};
inline constexpr Failure kDpfpCaptureEndedText = {kCodeAtCall, "ERROR - %d", true};

inline bool IsCancelledCaptureText(const char* text) {
    char cancelled[32];
    FormatFailure<kDpfpCaptureEndedText>(cancelled, sizeof cancelled, kDpfpCancelledError);
    return std::strcmp(text, cancelled) == 0;
}
