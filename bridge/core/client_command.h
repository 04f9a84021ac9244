// The command line that native clients send to ExecInClientDLL, and the export
// itself. A command line is a command word followed by fields, each after the
// byte 0x01; the fields pair up as (kind marker, template text): pair 0 is the
// stored template, pairs 1 and up the candidates.
#pragma once

#include <cstdint>

#include "template_codec.h"
#include "template_text.h"

constexpr int kCommandPairs = 10;

// The client sizes its result buffer for the longest result: the text of a
// captured template of kCodecBufferSize bytes, Base64 of its envelope.
constexpr int32_t kClientResultRoom = (kEnvelopeHeaderSize + kCodecBufferSize + 2) / 3 * 4;

enum class ClientCommandKind { kEnroll, kCapturar, kVerificar, kMatch, kUnknown };

struct ClientCommand {
    ClientCommandKind kind = ClientCommandKind::kUnknown;
    char* word = nullptr;
    // Complete pairs, at most kCommandPairs; later ones are ignored.
    int pairs = 0;
    // Null where a field is absent. A lone field after the word stands as
    // pair 0's template without kind marker, yet counts as no pair.
    const char* kinds[kCommandPairs] = {};
    const char* templates[kCommandPairs] = {};
};

// Splits `line` in place (each 0x01 becomes NUL), upper-cases the command word
// in place, and names the command: the first of ENROLL, CAPTURAR, VERIFICAR and
// MATCH that the word begins with. Reads nothing past the line's NUL.
ClientCommand ParseClientCommand(char* line);

extern "C" {
// Runs one command line and copies its result text, without NUL, into
// `result`, storing its length in *resultLength:
//   ENROLL...    FK_Capture(no input, mode 1): its text ("" when none)
//   CAPTURAR...  FK_Capture(no input, mode 2): as ENROLL
//   VERIFICAR... FK_Verify(pair 0): the result in decimal
//   MATCH...     FK_VerifyMatch(pair 0, pair j) for j = 1, 2... until one
//                matches: "%d%d%s" of the last result, j when it matched (else
//                0) and, when none matched, the last status message
// Returns 1; -1 for MATCH without a pair ("ERROR - Invalid parameters : '%s'"
// with the word) and, without touching anything, for a null line, result or
// length. Any other word writes nothing. A result never exceeds
// kClientResultRoom bytes. The leading and trailing values only reach the
// operation log.
int32_t ExecInClientDLL(int32_t leading, char* commandLine, int32_t trailing, char* result, int32_t* resultLength);
}
