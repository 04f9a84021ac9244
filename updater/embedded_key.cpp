#include "embedded_key.h"

// UPDATER_PUBLIC_KEY_BYTES, when defined, is the key's 32 bytes as a list of
// numbers, written by the build from the UPDATER_PUBLIC_KEY option.
std::optional<PublicKey> embeddedPublicKey() {
#ifdef UPDATER_PUBLIC_KEY_BYTES
    return PublicKey{UPDATER_PUBLIC_KEY_BYTES};
#else
    return std::nullopt;
#endif
}
