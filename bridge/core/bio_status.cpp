#include "bio_status.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

void GetOperationName(int32_t operation, char* out) {
    if (!out) return;
    std::memset(out, 0, 16);
    const char* name = "";
    switch (operation) {
        case kOpEnroll: name = "ENROLL"; break;
        case kOpVerify: name = "VERIFY"; break;
        case kOpCapture: name = "CAPTURE"; break;
        case kOpVerifyServer: name = "VERIFYSERVER"; break;
        case kOpVerifyMatch: name = "VERIFYMATCH"; break;
        default: break;
    }
    std::strcpy(out, name);
}

int32_t FormatBioStatus(char* out, const BioStatus* status) {
    if (!out || !status) return 0;
    std::sprintf(out, "%s#%s#%d#%s", status->success ? "true" : "false", status->matched ? "true" : "false",
                 status->error, status->message ? status->message : "");
    return 1;
}

int32_t FormatBioStatusBounded(char* out, size_t size, const BioStatus* status) {
    if (!out || size == 0 || !status) return 0;
    std::snprintf(out, size, "%s#%s#%d#%s", status->success ? "true" : "false", status->matched ? "true" : "false",
                  status->error, status->message ? status->message : "");
    return 1;
}

void OwnedStatus::Free::operator()(char* p) const { std::free(p); }

OwnedStatus::OwnedStatus(int32_t operation)
    : m_message(static_cast<char*>(std::calloc(kBioMessageSize, 1))), m_status{} {
    if (!m_message) throw std::bad_alloc();
    m_status.operation = operation;
    m_status.message = m_message.get();
}

OwnedStatus::~OwnedStatus() { adoptHandedMessage(); }

char* OwnedStatus::releaseMessage() {
    m_status.message = nullptr;
    return m_message.release();
}

void OwnedStatus::adoptHandedMessage() {
    if (m_status.message != m_message.get()) m_message.reset(m_status.message);
}

void HandOverStatus(OwnedStatus& status, BioStatus* out) {
    out->operation = status->operation;
    out->success = status->success;
    out->matched = status->matched;
    out->error = status->error;
    out->message = status.releaseMessage();
}
