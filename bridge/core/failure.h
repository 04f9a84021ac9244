// How an operation says that it failed. Each bridge keeps its failures in one
// table of rows, a code and a text; an operation names the row, and one helper
// writes it into a status or a text for the caller, so a code is written once
// and a text's arguments are checked against it when the code is compiled.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <type_traits>

#include "bio_status.h"

// One failure: the error code its status carries and its text, a printf
// format taking integers (%d %u %X) and texts (%s). Where `showsCode`, the
// text's first conversion is the code, which the helper passes itself.
struct Failure {
    int32_t code;
    const char* text;
    bool showsCode = false;
};

// Codes of rows that have no number of their own.
// The call gives the code as its first argument: the SDK's result, or the status's.
constexpr int32_t kCodeAtCall = INT32_MIN;
// A failure that leaves the status's code as it was.
constexpr int32_t kCodeKept = INT32_MIN + 1;
// Only the message is written, the status's flags and code left alone: a
// warning, or a failure the operation decides later.
constexpr int32_t kMessageOnly = INT32_MIN + 2;

// The failures both bridges share.
// An operation started while another one runs.
inline constexpr Failure kBusy = {998, "ERROR - The reader is busy with another operation."};
// An exception caught inside an operation: memory ran out, or anything else.
inline constexpr Failure kOutOfMemory = {997, "ERROR - There is not enough memory to complete the operation."};
inline constexpr Failure kFailedUnexpectedly = {997, "ERROR - The operation failed unexpectedly inside the library."};

namespace failure_detail {

enum class Conversion { kNone, kInteger, kText, kUnknown };

// The n-th conversion of a printf format; kNone past the last.
constexpr Conversion ConversionAt(const char* text, int n) {
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p != '%') continue;
        ++p;
        if (*p == '%') continue;
        const bool integer = *p == 'd' || *p == 'i' || *p == 'u' || *p == 'x' || *p == 'X';
        const Conversion found = integer ? Conversion::kInteger : *p == 's' ? Conversion::kText : Conversion::kUnknown;
        if (n-- == 0 || found == Conversion::kUnknown) return found;
    }
    return Conversion::kNone;
}

template <class T>
constexpr Conversion ConversionFor() {
    using Plain = std::decay_t<T>;
    if constexpr (std::is_integral_v<Plain> && sizeof(Plain) <= sizeof(int)) return Conversion::kInteger;
    if constexpr (std::is_same_v<Plain, const char*> || std::is_same_v<Plain, char*>) return Conversion::kText;
    return Conversion::kUnknown;
}

// Whether the row's text takes exactly these arguments, the code first where it shows it.
template <const Failure& row, class... Args>
constexpr bool Agrees() {
    const Conversion given[] = {Conversion::kInteger, ConversionFor<Args>()...};
    const int first = row.showsCode ? 0 : 1;
    const int count = static_cast<int>(sizeof...(Args)) + 1 - first;
    for (int i = 0; i < count; ++i) {
        if (ConversionAt(row.text, i) != given[first + i]) return false;
    }
    return ConversionAt(row.text, count) == Conversion::kNone;
}

template <const Failure& row, class... Args>
void Write(char* out, size_t size, int32_t code, Args... args) noexcept {
    if constexpr (row.showsCode) {
        std::snprintf(out, size, row.text, code, args...);
    } else if constexpr (sizeof...(Args) == 0) {
        std::snprintf(out, size, "%s", row.text);
    } else {
        std::snprintf(out, size, row.text, args...);
    }
}

template <const Failure& row, class... Args>
void Apply(BioStatus* status, int32_t code, Args... args) noexcept {
    if (row.code != kMessageOnly) status->success = false;
    if (code != kCodeKept && code != kMessageOnly) status->error = code;
    if (status->message) Write<row>(status->message, kBioMessageSize, status->error, args...);
}

template <const Failure& row, class Code, class... Args>
void ApplyGivenCode(BioStatus* status, Code code, Args... args) noexcept {
    static_assert(std::is_integral_v<Code> || std::is_enum_v<Code>, "the call gives the code first");
    static_assert(Agrees<row, Args...>(), "the row's text takes these arguments");
    Apply<row>(status, static_cast<int32_t>(code), args...);
}

}  // namespace failure_detail

// Writes the row into `status`: the success flag cleared, the code set (as
// the row says) and the text formatted with `args` into the message, cut to
// its buffer. A null status is left alone.
template <const Failure& row, class... Args>
void Fail(BioStatus* status, Args... args) noexcept {
    if constexpr (row.code == kCodeAtCall) {
        static_assert(sizeof...(Args) > 0, "the call gives the code first");
        if (status) failure_detail::ApplyGivenCode<row>(status, args...);
    } else {
        static_assert(failure_detail::Agrees<row, Args...>(), "the row's text takes these arguments");
        if (status) failure_detail::Apply<row>(status, row.code, args...);
    }
}

// Fail with a row that takes no arguments, as a value: how a step tells its
// caller which failure it met (Fail<kRow> converts to it).
using FailureWriter = void (*)(BioStatus* status) noexcept;

// The row's text for `code` and `args`, into `out` of `size` bytes.
template <const Failure& row, class... Args>
void FormatFailure(char* out, size_t size, int32_t code, Args... args) noexcept {
    static_assert(failure_detail::Agrees<row, Args...>(), "the row's text takes these arguments");
    failure_detail::Write<row>(out, size, code, args...);
}

// A failure text for the caller: a zero-filled buffer of `size` bytes (calloc,
// the caller's to free) holding `message`, cut to fit. When memory runs out, a
// buffer kept aside for this is handed out instead, so that a failure still
// reaches the caller as text; another one is kept aside as soon as memory
// allows. Null only when even that one is gone. `size` is at most
// kFailureTextMaxSize.
constexpr size_t kFailureTextMaxSize = 512;
char* FailureText(const char* message, size_t size) noexcept;

// FailureText of the row's text, formatted as Fail formats it.
template <const Failure& row, class... Args>
char* FailureText(size_t size, Args... args) noexcept {
    char text[kFailureTextMaxSize];
    if constexpr (row.code == kCodeAtCall) {
        FormatFailure<row>(text, sizeof text, args...);
    } else {
        FormatFailure<row>(text, sizeof text, row.code, args...);
    }
    return FailureText(text, size);
}

// Keeps the first buffer aside; run once when the library is loaded.
void ReserveFailureText() noexcept;

// The row an exception caught inside an operation stands for: call it only
// inside a catch block.
const Failure& CaughtFailure() noexcept;

// Inside the catch block of an operation that reports through a status: the
// operation failed inside the library (CaughtFailure, no match).
void FailInside(BioStatus* status) noexcept;

// An operation whose own status could not even be made (memory ran out): the
// caller's record says so, its message pointer left as it was.
void FailWithoutStatus(int32_t operation, BioStatus* out) noexcept;

// The one way this library catches: every export, JNI native and window
// procedure runs its body through it, so that no exception crosses into the
// caller's frames, and so does an operation that turns a failure inside into
// its own result. Any exception becomes `onFailure`: the failure result
// itself, or a function making it, called inside the catch block (so that it
// may ask CaughtFailure) and never throwing.
template <class OnFailure, class Body>
auto CatchAll(OnFailure&& onFailure, Body&& body) noexcept -> decltype(body()) {
    try {
        return body();
    } catch (...) {
        if constexpr (std::is_invocable_v<OnFailure>) {
            return onFailure();
        } else {
            return onFailure;
        }
    }
}

// A text made for a caller (calloc), freed unless handed on with release().
struct FreeText {
    void operator()(char* text) const noexcept { std::free(text); }
};
using OwnedText = std::unique_ptr<char, FreeText>;
