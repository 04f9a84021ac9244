// Matching of two template texts without the reader: FK_VerifyMatch, FK_Match
// over it, and FK_VerifyMcsNitGen.
#include <cstdlib>
#include <cstring>

#include "failure.h"
#include "match_operation.h"
#include "fpbridge_nbio.h"
#include "nbio_connection.h"
#include "nbio_failures.h"
#include "nbio_templates.h"
#include "operation_guard.h"
#include "plog/RecordBatch.h"

namespace {

// What a template that cannot be read fails with, for each of the two texts.
struct TemplateFailures {
    void (*notDecoded)(BioStatus*) noexcept;
    void (*sizes)(BioStatus*) noexcept;
    void (*noMemory)(BioStatus*) noexcept;
};
constexpr TemplateFailures kStoredFailures = {Fail<kNbioStoredNotDecoded>, Fail<kNbioStoredSizes>,
                                              Fail<kNbioStoredNoMemory>};
constexpr TemplateFailures kVerifyFailures = {Fail<kNbioVerifyNotDecoded>, Fail<kNbioVerifySizes>,
                                              Fail<kNbioVerifyNoMemory>};

bool ReadOrReport(BioStatus* status, const char* kind, const char* text, const TemplateFailures& failures,
                  TemplateBytes* out) {
    switch (ReadTemplate(kind, text, out)) {
        case TemplateFault::kNone: return true;
        case TemplateFault::kDecode: failures.notDecoded(status); break;
        case TemplateFault::kSizes: failures.sizes(status); break;
        case TemplateFault::kMemory: failures.noMemory(status); break;
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
        Fail<kNbioCompareFailed>(status, static_cast<int32_t>(compared));
    }
}

void VerifyMatch(BioStatus* status, const char* tpStored, const char* FkStored, const char* tpVerify,
                 const char* ToVerify) {
    // Absent and empty templates alike: there is nothing to compare.
    if (!FkStored || !ToVerify || !*FkStored || !*ToVerify) {
        Fail<kNbioInvalidParameter>(status);
        NbioConnectionEnd();
        return;
    }
    const NbioConnection connection(status, false);
    if (status->error == 0 && NbioSdkHandle() == 0) {
        Fail<kNbioNotInitialized>(status);
    }
    if (status->error == 0) {
        TemplateBytes stored, verify;
        if (ReadOrReport(status, tpStored, FkStored, kStoredFailures, &stored) &&
            ReadOrReport(status, tpVerify, ToVerify, kVerifyFailures, &verify)) {
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
    // The codec's records of a comparison reach the log in one write.
    plog::RecordBatch records;
    // On a failure inside, the connection's end has released what was open.
    return RunMatchOperation(statusOut,
                             [&](BioStatus* status) { VerifyMatch(status, tpStored, FkStored, tpVerify, ToVerify); });
}

int32_t FK_Match(const char* stored, const char* verify) {
    return CatchAll(0, [&] {
        plog::RecordBatch records;
        const OperationGuard guard;
        return guard.entered() ? Match(stored, verify) : 0;
    });
}

int32_t FK_VerifyMcsNitGen(char** argv, int32_t argc, char* out, int32_t outSize) {
    return CatchAll(0, [&] {
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
