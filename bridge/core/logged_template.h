// How template texts appear in the operation log. The log is a plain file in
// the user's profile that is never rolled, and a template is biometric personal
// data: a record names a template by its length and a short digest, which is
// enough to tell two apart or to find a stored one again, and carries the text
// itself only while the debug switch is on.
#pragma once

#include <string>

// "<412 chars sha256:3f2a9c01d4e7>": the length and the first six bytes of the
// SHA-256 of the text. A null text is "(null)"; a failure text ("ERROR - ...",
// "ERROR (...") holds no template and is shown as it is, and so is every text
// while the debug switch is on.
// Never throws: without memory for it, the name is empty.
std::string LoggedTemplate(const char* text) noexcept;
