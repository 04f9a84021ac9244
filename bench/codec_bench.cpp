// Round-trip throughput of the template text codec (pack, envelope, Base64 and
// back) beside bare zlib level 9 + Base64 in the same process. Prints figures;
// it judges nothing.
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "template_codec.h"
#include "template_text.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string BareBase64(const unsigned char* p, size_t n) {
    std::string out;
    out.reserve((n + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= n; i += 3) {
        const unsigned v = p[i] << 16 | p[i + 1] << 8 | p[i + 2];
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    if (n - i == 2) {
        const unsigned v = p[i] << 16 | p[i + 1] << 8;
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += '=';
    } else if (n - i == 1) {
        const unsigned v = p[i] << 16;
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += "==";
    }
    return out;
}

std::vector<unsigned char> BareUnbase64(const std::string& text) {
    static unsigned char table[256];
    static bool ready = false;
    if (!ready) {
        std::memset(table, 0, sizeof table);
        for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<unsigned char>(i);
        ready = true;
    }
    std::vector<unsigned char> out;
    out.reserve(text.size() / 4 * 3);
    for (size_t i = 0; i + 4 <= text.size(); i += 4) {
        const unsigned v = table[static_cast<unsigned char>(text[i])] << 18 |
                           table[static_cast<unsigned char>(text[i + 1])] << 12 |
                           table[static_cast<unsigned char>(text[i + 2])] << 6 |
                           table[static_cast<unsigned char>(text[i + 3])];
        out.push_back(static_cast<unsigned char>(v >> 16));
        if (text[i + 2] != '=') out.push_back(static_cast<unsigned char>(v >> 8));
        if (text[i + 3] != '=') out.push_back(static_cast<unsigned char>(v));
    }
    return out;
}

// Minutiae-like data: a fifth random, the rest small structured values.
std::vector<unsigned char> SampleTemplate(size_t size) {
    std::mt19937 random(static_cast<unsigned>(size));
    std::vector<unsigned char> t(size);
    for (size_t i = 0; i < size; ++i) t[i] = static_cast<unsigned char>(i % 5 == 0 ? random() : (i * 7) % 23);
    return t;
}

template <class F>
double OpsPerSecond(F&& roundTrip) {
    using Clock = std::chrono::steady_clock;
    for (int i = 0; i < 50; ++i) roundTrip();
    int iterations = 0;
    const auto start = Clock::now();
    auto now = start;
    while (now - start < std::chrono::milliseconds(700)) {
        for (int i = 0; i < 20; ++i) roundTrip();
        iterations += 20;
        now = Clock::now();
    }
    return iterations / std::chrono::duration<double>(now - start).count();
}

}  // namespace

int main() {
    if (!CodecAllocateBuffers()) return 1;
    std::printf("%-8s %14s %14s %8s %10s\n", "template", "codec rt/s", "bare rt/s", "ratio", "MB/s codec");
    for (size_t size : {1024u, 5120u}) {
        const auto data = SampleTemplate(size);
        const int32_t length = static_cast<int32_t>(size);

        const double codec = OpsPerSecond([&] {
            char* text = PackTemplateText(data.data(), length, kNbioEnvelope);
            DecodedEnvelope envelope;
            DecodeEnvelope(text, static_cast<int32_t>(std::strlen(text)), kNbioEnvelope, &envelope);
            std::vector<unsigned char> out;
            if (!UnpackEnvelope(envelope, &out) || out != data) std::abort();
            std::free(text);
        });

        const double bare = OpsPerSecond([&] {
            uLongf packed = compressBound(static_cast<uLong>(size));
            std::vector<unsigned char> stream(packed);
            compress2(stream.data(), &packed, data.data(), static_cast<uLong>(size), 9);
            const std::string text = BareBase64(stream.data(), packed);
            const std::vector<unsigned char> back = BareUnbase64(text);
            std::vector<unsigned char> out(size);
            uLongf outLength = static_cast<uLongf>(size);
            if (uncompress(out.data(), &outLength, back.data(), static_cast<uLong>(back.size())) != Z_OK ||
                out != data) {
                std::abort();
            }
        });
        std::printf("%-8zu %14.0f %14.0f %8.2f %10.1f\n", size, codec, bare, codec / bare, codec * size / 1e6);
    }
    std::printf("goal: ratio >= 0.80 (codec round trip against bare zlib level 9 + Base64)\n");
    CodecReleaseBuffers();
    return 0;
}
