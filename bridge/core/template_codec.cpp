#include "template_codec.h"

#include <zlib.h>

#include <array>
#include <cstdlib>
#include <cstring>

#include "alert.h"
#include "plog/Log.h"

namespace {

unsigned char* g_packBuffer = nullptr;
unsigned char* g_unpackBuffer = nullptr;

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Index of every byte in the alphabet, 255 for anything else ('=' and NUL included).
constexpr std::array<unsigned char, 256> MakeDecodeTable() {
    std::array<unsigned char, 256> table{};
    for (auto& entry : table) entry = 255;
    for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<unsigned char>(i);
    return table;
}
constexpr auto kDecodeTable = MakeDecodeTable();

void AlertEndResult(int result) {
    if (result == Z_DATA_ERROR) {
        Alert("deflateEnd Z_DATA_ERROR");
    } else if (result == Z_STREAM_ERROR) {
        Alert("deflateEnd Z_STREAM_ERROR");
    } else if (result != Z_OK) {
        Alert("deflateEnd");
    }
}

}  // namespace

bool CodecAllocateBuffers() {
    if (!g_packBuffer) g_packBuffer = static_cast<unsigned char*>(std::calloc(kCodecBufferSize, 1));
    if (!g_unpackBuffer) g_unpackBuffer = static_cast<unsigned char*>(std::calloc(kCodecBufferSize, 1));
    return g_packBuffer && g_unpackBuffer;
}

void CodecReleaseBuffers() {
    std::free(g_packBuffer);
    std::free(g_unpackBuffer);
    g_packBuffer = nullptr;
    g_unpackBuffer = nullptr;
}

bool FK_Pack(const unsigned char* in, int32_t inLen, unsigned char* out, int32_t* packedLen) {
    if (packedLen) *packedLen = 0;
    if (!g_packBuffer || !out || !packedLen || inLen < 0 || (!in && inLen > 0)) return false;

    std::memset(g_packBuffer, 0, kCodecBufferSize);
    z_stream stream{};
    if (deflateInit(&stream, 9) != Z_OK) Alert("deflateInit ERROR");

    stream.next_in = const_cast<Bytef*>(in);
    stream.avail_in = static_cast<uInt>(inLen);
    stream.next_out = g_packBuffer;
    stream.avail_out = kCodecBufferSize;
    const int deflated = deflate(&stream, Z_FINISH);
    if (deflated != Z_STREAM_END && deflated != Z_OK) Alert("deflate ERROR");

    *packedLen = static_cast<int32_t>(stream.total_out);
    int ended = deflateEnd(&stream);
    // Some zlib versions end a stream cut short by a full buffer without
    // complaint; it is a data error all the same, and reported as one.
    if (ended == Z_OK && deflated != Z_STREAM_END) ended = Z_DATA_ERROR;
    AlertEndResult(ended);

    std::memcpy(out, g_packBuffer, static_cast<size_t>(*packedLen));
    return deflated == Z_STREAM_END && ended == Z_OK;
}

char* Encode64(const unsigned char* in, int32_t len) {
    if (len < 0 || (!in && len > 0)) return nullptr;
    size_t size = static_cast<size_t>(len) + static_cast<size_t>(len) / 2 + 32;
    if (size % 2 != 0) ++size;
    char* text = static_cast<char*>(std::calloc(size, 1));
    if (!text) return nullptr;

    char* o = text;
    int32_t i = 0;
    for (; len - i >= 3; i += 3, o += 4) {
        const unsigned b0 = in[i], b1 = in[i + 1], b2 = in[i + 2];
        o[0] = kAlphabet[b0 >> 2];
        o[1] = kAlphabet[((b0 & 3) << 4) | (b1 >> 4)];
        o[2] = kAlphabet[((b1 & 15) << 2) | (b2 >> 6)];
        o[3] = kAlphabet[b2 & 63];
    }
    if (len - i == 2) {
        const unsigned b0 = in[i], b1 = in[i + 1];
        o[0] = kAlphabet[b0 >> 2];
        o[1] = kAlphabet[((b0 & 3) << 4) | (b1 >> 4)];
        o[2] = kAlphabet[(b1 & 15) << 2];
        o[3] = '=';
    } else if (len - i == 1) {
        const unsigned b0 = in[i];
        o[0] = kAlphabet[b0 >> 2];
        o[1] = kAlphabet[(b0 & 3) << 4];
        o[2] = '=';
        o[3] = '=';
    }
    return text;
}

int32_t Decode64Capacity(int32_t textLength) {
    if (textLength <= 0) return 1;
    return (textLength / 4 + (textLength % 4 != 0)) * 3 + 1;
}

void Decode64(const char* text, unsigned char* out, int32_t* len) {
    PLOGD << "Begin";
    if (!text || !out || !len) {
        if (len) *len = 0;
        PLOGD << "End";
        return;
    }
    const int64_t n = *len;
    int32_t pos = 0;
    for (int64_t start = 0; start < n; start += 4) {
        char group[4];
        for (int k = 0; k < 4; ++k) group[k] = start + k < n ? text[start + k] : '\0';
        const unsigned i0 = kDecodeTable[static_cast<unsigned char>(group[0])];
        const unsigned i1 = kDecodeTable[static_cast<unsigned char>(group[1])];
        const unsigned i2 = kDecodeTable[static_cast<unsigned char>(group[2])];
        const unsigned i3 = kDecodeTable[static_cast<unsigned char>(group[3])];
        out[pos] = static_cast<unsigned char>((i0 << 2) | ((i1 >> 4) & 3));
        out[pos + 1] = static_cast<unsigned char>((i1 << 4) | ((i2 >> 2) & 15));
        out[pos + 2] = static_cast<unsigned char>((i2 << 6) | (i3 & 63));
        pos += group[2] == '=' ? 1 : group[3] == '=' ? 2 : 3;
    }
    *len = pos;
    out[pos] = 0;
    PLOGD << "End";
}

bool FK_Unpack(const unsigned char* packed, int32_t packedLen, unsigned char* out, const int32_t* expectedLen) {
    PLOGD << "Begin";
    bool result = false;
    if (g_unpackBuffer && out && expectedLen && packedLen >= 0 && (packed || packedLen == 0) && *expectedLen >= 0 &&
        *expectedLen <= kCodecBufferSize) {
        z_stream stream{};
        inflateInit(&stream);
        stream.next_in = const_cast<Bytef*>(packed);
        stream.avail_in = static_cast<uInt>(packedLen);
        stream.next_out = g_unpackBuffer;
        stream.avail_out = kCodecBufferSize;
        if (inflate(&stream, Z_FINISH) != Z_STREAM_END && stream.avail_out == 0) {
            // The buffer is full and the stream has not ended: if one more byte
            // comes out, the data go on past what a template can hold, and the
            // length produced no longer matches any template.
            unsigned char beyond;
            stream.next_out = &beyond;
            stream.avail_out = 1;
            inflate(&stream, Z_FINISH);
        }

        const int ended = inflateEnd(&stream);
        AlertEndResult(ended);
        result = ended == Z_OK;

        if (stream.total_out != 0) {
            if (stream.total_out == static_cast<uLong>(*expectedLen)) {
                std::memcpy(out, g_unpackBuffer, stream.total_out);
            } else {
                result = false;
            }
        }
    }
    PLOGD << "End result=" << (result ? 1 : 0);
    return result;
}
