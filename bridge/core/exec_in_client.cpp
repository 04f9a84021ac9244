// ExecInClientDLL: one command line in, one result text out, over the
// operations of the library it is linked into. Logged as the operation
// "Executar".
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "bio_status.h"
#include "client_command.h"
#include "client_faces.h"
#include "operation_guard.h"
#include "plog/Log.h"

namespace {

struct FreeText {
    void operator()(char* text) const { std::free(text); }
};
using OwnedText = std::unique_ptr<char, FreeText>;

// The client's buffer gets the text without NUL; the text is cut at the room
// the client was asked to provide rather than written past it.
void Deliver(const std::string& text, char* result, int32_t* resultLength) {
    const size_t length = std::min(text.size(), static_cast<size_t>(kClientResultRoom));
    std::memcpy(result, text.data(), length);
    *resultLength = static_cast<int32_t>(length);
}

std::string CaptureText(const BridgeOperations& operations, int32_t mode) {
    const OwnedText text(operations.capture(nullptr, mode));
    return text ? std::string(text.get()) : std::string();
}

// Pair 0 against each candidate in turn, up to the first match.
std::string MatchText(const BridgeOperations& operations, const ClientCommand& command) {
    OwnedStatus status(0);
    int32_t result = 0;
    int candidate = 0;
    for (int j = 1; j < command.pairs && result == 0; ++j) {
        result = operations.verifyMatch(command.kinds[0], command.templates[0], command.kinds[j], command.templates[j],
                                        status.get());
        status.adoptHandedMessage();
        candidate = j;
    }
    if (result != 0) return std::to_string(result) + std::to_string(candidate);
    return std::to_string(result) + "0" + status->message;
}

int32_t Executar(int32_t leading, char* commandLine, int32_t trailing, char* result, int32_t* resultLength) {
    PLOGD << "Begin Executar(" << leading << static_cast<const void*>(commandLine) << trailing << ")";
    const ClientFaceTraits* faces = InstalledClientFaces();
    if (!commandLine || !result || !resultLength || !faces) return -1;
    const BridgeOperations& operations = faces->operations;

    const ClientCommand command = ParseClientCommand(commandLine);
    // The whole command is one operation: no other caller's operation can
    // come between its steps (a MATCH over its candidates included).
    const OperationGuard guard;
    const bool busy = !guard.entered();
    switch (command.kind) {
        case ClientCommandKind::kEnroll:
        case ClientCommandKind::kCapturar:
            Deliver(busy ? kBusyMessage : CaptureText(operations, command.kind == ClientCommandKind::kEnroll ? 1 : 2),
                    result, resultLength);
            break;
        case ClientCommandKind::kVerificar:
            // A refused check says why after its "0", as a refused MATCH does.
            Deliver(busy ? std::string("0") + kBusyMessage
                         : std::to_string(operations.verify(command.kinds[0], command.templates[0])),
                    result, resultLength);
            break;
        case ClientCommandKind::kMatch:
            if (command.pairs == 0) {
                Deliver("ERROR - Invalid parameters : '" + std::string(command.word) + "'", result, resultLength);
                return -1;
            }
            Deliver(busy ? std::string("00") + kBusyMessage : MatchText(operations, command), result, resultLength);
            break;
        case ClientCommandKind::kUnknown:
            break;
    }
    PLOGD << "End Executar(" << leading << static_cast<const void*>(commandLine) << trailing
          << static_cast<const void*>(result) << static_cast<const void*>(resultLength) << ")";
    return 1;
}

}  // namespace

extern "C" int32_t ExecInClientDLL(int32_t leading, char* commandLine, int32_t trailing, char* result,
                                   int32_t* resultLength) {
    try {
        return Executar(leading, commandLine, trailing, result, resultLength);
    } catch (...) {
        return -1;
    }
}
