// The outcome record of one bridge operation, the operation codes it carries,
// and its text form "success#matched#error#message".
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>


// Operation codes. In the DigitalPersona bridge a code is also the number of the
// window message carrying that operation's reader events; 2029 finishes a run.
enum BioOperation : int32_t {
    kOpEnroll = 2024,
    kOpVerify = 2025,
    kOpCapture = 2026,
    kOpVerifyServer = 2028,
    kOpVerifyMatch = 2030,
};

constexpr int kBioMessageSize = 1024;

// Field order and widths are part of the interface: callers outside the library
// allocate this record themselves. The bridges' C headers for clients declare
// it too, under the same guard, so that a file may include both.
#ifndef FPBRIDGE_BIO_STATUS
#define FPBRIDGE_BIO_STATUS
struct BioStatus {
    int32_t operation;
    bool success;
    bool matched;
    int32_t error;
    char* message;  // kBioMessageSize bytes, NUL-terminated
};
#endif
static_assert(offsetof(BioStatus, success) == 4 && offsetof(BioStatus, matched) == 5 &&
                  offsetof(BioStatus, error) == 8 && offsetof(BioStatus, message) == 16 && sizeof(BioStatus) == 24,
              "callers outside the library lay the record out this way");

// Clears the first 16 bytes of `out`, then writes the code's name; unknown codes leave it empty.
void GetOperationName(int32_t operation, char* out);

// Writes "%s#%s#%d#%s" into `out`, which must hold the message plus 25 bytes.
// Returns 0 and writes nothing when `out` or `status` is absent, else 1.
int32_t FormatBioStatus(char* out, const BioStatus* status);

// FormatBioStatus into at most `size` bytes of `out`, cut short (and still
// terminated) when the text does not fit. 0 when `out`, `size` or `status` is absent.
int32_t FormatBioStatusBounded(char* out, size_t size, const BioStatus* status);

// A status owned by one operation, or by one caller of FK_VerifyMatch: zeroed
// record with a zeroed message buffer. An operation that hands its outcome over
// puts a buffer of its own into the record (HandOverStatus); the record then
// owns that one too, and frees every buffer it held.
class OwnedStatus {
public:
    // Throws std::bad_alloc when the message buffer cannot be had.
    explicit OwnedStatus(int32_t operation);
    ~OwnedStatus();
    OwnedStatus(const OwnedStatus&) = delete;
    OwnedStatus& operator=(const OwnedStatus&) = delete;
    BioStatus* get() { return &m_status; }
    BioStatus* operator->() { return &m_status; }
    // Hands the message buffer (calloc) to the caller, who frees it with free().
    char* releaseMessage();
    // After a call that may have put its own message buffer into the record:
    // frees the buffer it replaced and keeps the new one. Callers that reuse
    // the record for several calls adopt after each, so that nothing piles up.
    void adoptHandedMessage();

private:
    struct Free {
        void operator()(char* p) const;
    };
    std::unique_ptr<char, Free> m_message;
    BioStatus m_status;
};

// Copies an operation's outcome into the caller's record field by field, the
// message pointer included: the operation's buffer (calloc) becomes the
// caller's, who frees it with free() or FK_FreeText. A buffer the caller had
// put there is left alone and stays the caller's to free.
void HandOverStatus(OwnedStatus& status, BioStatus* out);

extern "C" {
// Frees a text or a message buffer that the library handed its caller, with
// the C runtime that allocated it; null is ignored.
void FK_FreeText(char* text);
}
