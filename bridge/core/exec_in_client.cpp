// ExecInClientDLL: one command line in, one result text out, over the
// operations of the library it is linked into. Logged as the operation
// "Executar".
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>

#include "bio_status.h"
#include "client_command.h"
#include "client_faces.h"
#include "failure.h"
#include "operation_guard.h"
#include "plog/Log.h"

namespace {

// The client's buffer gets `prefix`, `text` and `suffix` without NUL; the
// result is cut at the room the client was asked to provide rather than
// written past it.
void Deliver(const char* prefix, const char* text, const char* suffix, char* result, int32_t* resultLength) {
    size_t length = 0;
    for (const char* part : {prefix, text, suffix}) {
        const size_t piece = std::min(std::strlen(part), static_cast<size_t>(kClientResultRoom) - length);
        std::memcpy(result + length, part, piece);
        length += piece;
    }
    *resultLength = static_cast<int32_t>(length);
}

void Deliver(const std::string& text, char* result, int32_t* resultLength) {
    Deliver("", text.c_str(), "", result, resultLength);
}

// A command that could not run (refused as busy, or failed inside) says why in
// its own result form: after the "0" of a check, the "00" of a match, or as a
// capture's failure text.
void DeliverFailure(ClientCommandKind kind, const char* why, char* result, int32_t* resultLength) {
    switch (kind) {
        case ClientCommandKind::kEnroll:
        case ClientCommandKind::kCapturar:
            Deliver("", why, "", result, resultLength);
            break;
        case ClientCommandKind::kVerificar:
            Deliver("0", why, "", result, resultLength);
            break;
        case ClientCommandKind::kMatch:
            Deliver("00", why, "", result, resultLength);
            break;
        case ClientCommandKind::kUnknown:
            break;
    }
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

// Runs a command that needs the library's operations; the caller has taken
// the one-operation guard.
void Run(const BridgeOperations& operations, const ClientCommand& command, char* result, int32_t* resultLength) {
    switch (command.kind) {
        case ClientCommandKind::kEnroll:
        case ClientCommandKind::kCapturar:
            Deliver(CaptureText(operations, command.kind == ClientCommandKind::kEnroll ? 1 : 2), result, resultLength);
            break;
        case ClientCommandKind::kVerificar:
            Deliver(std::to_string(operations.verify(command.kinds[0], command.templates[0])), result, resultLength);
            break;
        case ClientCommandKind::kMatch:
            Deliver(MatchText(operations, command), result, resultLength);
            break;
        case ClientCommandKind::kUnknown:
            break;
    }
}

// The operation behind the export, under the name its records carry.
int32_t Executar(int32_t leading, char* commandLine, int32_t trailing, char* result, int32_t* resultLength) {
    PLOGD << "Begin Executar(" << leading << static_cast<const void*>(commandLine) << trailing << ")";
    const ClientFaceTraits* faces = InstalledClientFaces();
    if (!commandLine || !result || !resultLength || !faces) return -1;

    const ClientCommand command = ParseClientCommand(commandLine);
    if (command.kind == ClientCommandKind::kMatch && command.pairs == 0) {
        Deliver("ERROR - Invalid parameters : '", command.word, "'", result, resultLength);
        return -1;
    }
    {
        // The whole command is one operation: no other caller's operation can
        // come between its steps (a MATCH over its candidates included).
        const OperationGuard guard;
        if (!guard.entered()) {
            DeliverFailure(command.kind, kBusy.text, result, resultLength);
        } else {
            CatchAll([&] { DeliverFailure(command.kind, CaughtFailure().text, result, resultLength); },
                     [&] { Run(faces->operations, command, result, resultLength); });
        }
    }
    PLOGD << "End Executar(" << leading << static_cast<const void*>(commandLine) << trailing
          << static_cast<const void*>(result) << static_cast<const void*>(resultLength) << ")";
    return 1;
}

}  // namespace

extern "C" int32_t ExecInClientDLL(int32_t leading, char* commandLine, int32_t trailing, char* result,
                                   int32_t* resultLength) {
    // Executar turns a failure inside a command into its result text; this
    // only keeps anything else from crossing into the client.
    return CatchAll(-1, [&] { return Executar(leading, commandLine, trailing, result, resultLength); });
}
