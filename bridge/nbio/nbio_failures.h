// Every failure the NITGEN bridge reports: its code and its text, by the
// operation that reports it.
#pragma once

#include "failure.h"

// Starting the SDK instance and the reader, in every operation.
inline constexpr Failure kNbioInitFailed = {
    1, "ERROR - Fingerprint device initialization failed, operation: '%d', error: '%d'"};
inline constexpr Failure kNbioDeviceNotFound = {1, "ERROR - Fingerprint device not found"};

// FK_Capture: the capture.
inline constexpr Failure kNbioCaptureInvalidHandle = {2, "ERROR - Fingerprint capture failed, invalid handle"};
inline constexpr Failure kNbioCaptureInvalidPointer = {2, "ERROR - Fingerprint capture failed, invalid pointer"};
inline constexpr Failure kNbioCaptureDeviceNotOpened = {2, "ERROR - Fingerprint capture failed, device not opened"};
inline constexpr Failure kNbioCaptureTimedOut = {
    2, "ERROR - Fingerprint capture left due to delay to capture a valid digital"};
inline constexpr Failure kNbioCaptureFakeSuspicious = {2, "ERROR - Fingerprint capture failed, fake suspicious"};
inline constexpr Failure kNbioCaptureFailed = {
    2, "ERROR - Fingerprint capture failed, error on receive the text-encoded FIR, error: '%d'"};
inline constexpr Failure kNbioCaptureWorkerNotStarted = {kCodeKept,
                                                         "ERROR - Fingerprint capture failed, worker not started"};
// FK_Capture: the captured template as text. A text FIR that could not be
// made leaves no template, which fails the capture afterwards.
inline constexpr Failure kNbioTextFirNotFreed = {
    kCodeAtCall, "ERROR - Failed to free the memory allocated for the text-encoded FIR, error: '%d'", true};
inline constexpr Failure kNbioTextFirInvalidHandle = {
    kMessageOnly, "ERROR - Fingerprint capture failed, error on receive the text-encoded FIR, invalid handle"};
inline constexpr Failure kNbioTextFirInvalidPointer = {
    kMessageOnly, "ERROR - Fingerprint capture failed, error on receive the text-encoded FIR, invalid pointer"};
inline constexpr Failure kNbioTextFirFailed = {
    kMessageOnly, "ERROR - Fingerprint capture failed, error on receive the text-encoded FIR, error: '%d'"};
inline constexpr Failure kNbioNotPacked = {2, "ERROR - Fingerprint template could not be packed, size: '%d'"};

// FK_Verify: the live finger against the stored template.
inline constexpr Failure kNbioVerifyInvalidHandle = {3, "ERROR - Error checking fingerprints, invalid handle"};
inline constexpr Failure kNbioVerifyInvalidPointer = {3, "ERROR - Error checking fingerprints, invalid pointer"};
inline constexpr Failure kNbioVerifyNotDecrypted = {3,
                                                    "ERROR - Error checking fingerprints, data cannot be decrypted"};
inline constexpr Failure kNbioVerifyFailed = {3, "ERROR - Error checking fingerprints, error: '%d'"};

// FK_VerifyMatch, and FK_Verify's reading of the stored template.
inline constexpr Failure kNbioInvalidParameter = {7, "ERROR - FK_VerifyMatch - Invalid Parameter - %d", true};
inline constexpr Failure kNbioNotInitialized = {2, "ERROR - Device not initialized."};
inline constexpr Failure kNbioStoredNotDecoded = {14, "ERROR - FK_VerifyMatch - Decode64 Error - %d", true};
inline constexpr Failure kNbioStoredSizes = {6, "ERROR - FK_VerifyMatch - Unpack Stored Error - %d", true};
inline constexpr Failure kNbioStoredNoMemory = {6, "ERROR - FK_VerifyMatch - Template Stored - %d", true};
inline constexpr Failure kNbioVerifyNotDecoded = {14, "ERROR - FK_VerifyMatch - decode64 Error - %d", true};
inline constexpr Failure kNbioVerifySizes = {6, "ERROR - FK_VerifyMatch - Unpack Verify Error - %d", true};
inline constexpr Failure kNbioVerifyNoMemory = {6, "ERROR - FK_VerifyMatch - Template Verify - %d", true};
// The SDK's comparison failed: its result is the code; the text keeps the
// number its callers know it by.
inline constexpr Failure kNbioCompareFailed = {kCodeAtCall, "ERROR - FK_VerifyMatch - Erro na verificacao - 13"};
