#include "logged_template.h"

#include <cstring>

#include "debug_trace.h"
#include "failure.h"
#include "sha256.h"

namespace {

// Base64 has neither a blank nor a parenthesis: such a text is no template.
bool IsFailureText(const char* text) {
    return std::strncmp(text, "ERROR - ", 8) == 0 || std::strncmp(text, "ERROR (", 7) == 0;
}

}  // namespace

std::string LoggedTemplate(const char* text) noexcept {
    // Without memory for the name the record goes without it.
    return CatchAll(std::string(), [text]() -> std::string {
        if (!text) return "(null)";
        if (DebugTraceOn() || IsFailureText(text)) return text;
        const size_t length = std::strlen(text);
        const Sha256Digest digest = Sha256(text, length);
        static const char kHex[] = "0123456789abcdef";
        std::string named = "<" + std::to_string(length) + " chars sha256:";
        for (int i = 0; i < 6; ++i) {
            named += kHex[digest[i] >> 4];
            named += kHex[digest[i] & 15];
        }
        return named + ">";
    });
}
