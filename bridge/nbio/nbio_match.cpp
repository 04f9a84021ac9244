// Matching of two template texts without the reader: FK_VerifyMatch and the
// shortcuts over it.
#include <cstdlib>
#include <cstring>

#include "export_guard.h"
#include "fpbridge_nbio.h"
#include "nbio_connection.h"
#include "nbio_templates.h"
#include "operation_guard.h"
#include "plog/RecordBatch.h"

namespace {

struct TemplateMessages {
    const char* decode;
    const char* sizes;
    const char* memory;
};
constexpr TemplateMessages kStoredMessages = {"ERROR - FK_VerifyMatch - Decode64 Error - %d",
                                              "ERROR - FK_VerifyMatch - Unpack Stored Error - %d",
                                              "ERROR - FK_VerifyMatch - Template Stored - %d"};
constexpr TemplateMessages kVerifyMessages = {"ERROR - FK_VerifyMatch - decode64 Error - %d",
                                              "ERROR - FK_VerifyMatch - Unpack Verify Error - %d",
                                              "ERROR - FK_VerifyMatch - Template Verify - %d"};

bool ReadOrReport(BioStatus* status, const char* kind, const char* text, const TemplateMessages& messages,
                  TemplateBytes* out) {
    switch (ReadTemplate(kind, text, out)) {
        case TemplateFault::kNone: return true;
        case TemplateFault::kDecode: FailStatus(status, 14, messages.decode, 14); break;
        case TemplateFault::kSizes: FailStatus(status, 6, messages.sizes, 6); break;
        case TemplateFault::kMemory: FailStatus(status, 6, messages.memory, 6); break;
    }
    return false;
}

void CompareTemplates(BioStatus* status, TemplateBytes& stored, TemplateBytes& verify) {
    const NBioAPI_HANDLE sdk = NbioSdkHandle();
    const int32_t authType = NbioAuthType();
    // The stored template is converted first; with FDx templates the SDK gets
    // the template to verify as its first record.
    SdkTemplateInput storedInput(sdk, authType, stored);
    SdkTemplateInput verifyInput(sdk, authType, verify);
    const bool text = authType == 1;
    NBioAPI_FIR_PAYLOAD payload{};
    NBioAPI_BOOL matched = 0;
    const NBioAPI_RETURN compared =
        NBioAPI_VerifyMatch(sdk, text ? storedInput.record() : verifyInput.record(),
                            text ? verifyInput.record() : storedInput.record(), &matched, &payload);
    if (compared == NBioAPIERROR_NONE) {
        status->success = true;
        status->matched = matched == 1;
    } else {
        status->matched = false;
        FailStatus(status, static_cast<int32_t>(compared), "ERROR - FK_VerifyMatch - Erro na verificacao - %d", 13);
    }
}

void VerifyMatch(BioStatus* status, const char* tpStored, const char* FkStored, const char* tpVerify,
                 const char* ToVerify) {
    // Absent and empty templates alike: there is nothing to compare.
    if (!FkStored || !ToVerify || !*FkStored || !*ToVerify) {
        FailStatus(status, 7, "ERROR - FK_VerifyMatch - Invalid Parameter - %d", 7);
        NbioConnectionEnd();
        return;
    }
    const NbioConnection connection(status, false);
    if (status->error == 0 && NbioSdkHandle() == 0) {
        FailStatus(status, 2, "ERROR - Device not initialized.");
    }
    if (status->error == 0) {
        TemplateBytes stored, verify;
        if (ReadOrReport(status, tpStored, FkStored, kStoredMessages, &stored) &&
            ReadOrReport(status, tpVerify, ToVerify, kVerifyMessages, &verify)) {
            CompareTemplates(status, stored, verify);
        }
    }
}

int32_t Match(const char* stored, const char* verify) {
    if (FK_VerifyMatch("Z", stored, "Z", verify, nullptr) == 1) return 1;
    return FK_VerifyMatch("N", stored, "Z", verify, nullptr);
}

}  // namespace

extern "C" {

int32_t FK_VerifyMatch(const char* tpStored, const char* FkStored, const char* tpVerify, const char* ToVerify,
                       BioStatus* statusOut) {
    try {
        // The codec's records of a comparison reach the log in one write.
        plog::RecordBatch records;
        OwnedStatus status(kOpVerifyMatch);
        const OperationGuard guard;
        if (!guard.entered()) {
            FailStatus(status.get(), kBusyError, "%s", kBusyMessage);
        } else {
            try {
                VerifyMatch(status.get(), tpStored, FkStored, tpVerify, ToVerify);
            } catch (...) {
                // The connection's end has released what was open.
                FailInside(status.get());
            }
        }
        if (statusOut) HandOverStatus(status, statusOut);
        return status->matched ? 1 : 0;
    } catch (...) {
        FailWithoutStatus(kOpVerifyMatch, statusOut);
        return 0;
    }
}

int32_t FK_Match(const char* stored, const char* verify) {
    return GuardExport<int32_t>(0, [&] {
        plog::RecordBatch records;
        const OperationGuard guard;
        return guard.entered() ? Match(stored, verify) : 0;
    });
}

int32_t FK_CaptureAndVerify(const char* stored) {
    return GuardExport<int32_t>(-1, [&] {
        const OperationGuard guard;
        if (!guard.entered()) return -1;
        const OwnedText captured(FK_Capture(nullptr, 1));
        // A capture whose FDx conversion failed gives an empty text: no template either.
        if (!captured || captured.get()[0] == '\0' || std::strncmp(captured.get(), "ERROR", 5) == 0) return -1;
        return Match(stored, captured.get());
    });
}

int32_t FK_VerifyMcsNitGen(char** argv, int32_t argc, char* out, int32_t outSize) {
    return GuardExport<int32_t>(0, [&] {
        if (argc >= 2 && argv && argv[0] && argv[0][0] != '\0' && out && outSize >= 64) {
            // Nothing but the fixed line: a status without a message of its own.
            char empty[] = "";
            const BioStatus status{0, false, false, 0, empty};
            FormatBioStatusBounded(out, static_cast<size_t>(outSize), &status);
        }
        return 0;
    });
}
}
