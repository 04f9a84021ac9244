// What an operation hands its caller when it fails: a failure text of its own
// buffer, and the failure that an exception caught inside it stands for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

// An exception caught inside an operation (memory ran out, or anything else
// thrown): the operation ends with this error and one of the two texts below.
constexpr int32_t kFailedInsideError = 997;
constexpr char kOutOfMemoryMessage[] = "ERROR - There is not enough memory to complete the operation.";
constexpr char kUnexpectedFailureMessage[] = "ERROR - The operation failed unexpectedly inside the library.";

// The text for the exception being handled: call it only inside a catch block.
const char* CaughtFailureMessage() noexcept;

// A failure text for the caller: a zero-filled buffer of `size` bytes (calloc,
// the caller's to free) holding `message`, cut to fit. When memory runs out, a
// buffer kept aside for this is handed out instead, so that a failure still
// reaches the caller as text; another one is kept aside as soon as memory
// allows. Null only when even that one is gone. `size` is at most
// kFailureTextMaxSize.
constexpr size_t kFailureTextMaxSize = 512;
char* FailureText(const char* message, size_t size) noexcept;

// Keeps the first buffer aside; run once when the library is loaded.
void ReserveFailureText() noexcept;

// A text made for a caller (calloc), freed unless handed on with release().
struct FreeText {
    void operator()(char* text) const noexcept { std::free(text); }
};
using OwnedText = std::unique_ptr<char, FreeText>;
