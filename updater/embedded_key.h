// The publisher's public key that this build of the updater carries, if any
// (the UPDATER_PUBLIC_KEY build option). With one, only packages signed with
// its private half are installed.
#pragma once

#include <optional>

#include "package_check.h"

std::optional<PublicKey> embeddedPublicKey();
