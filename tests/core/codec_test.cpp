#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "alert.h"
#include "failure.h"
#include "template_codec.h"
#include "template_text.h"

namespace {

std::vector<std::string> g_alerts;
void RecordAlert(const char* text) { g_alerts.emplace_back(text); }

class Codec : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CodecAllocateBuffers());
        g_alerts.clear();
        previous_ = SetAlertSink(RecordAlert);
    }
    void TearDown() override {
        SetAlertSink(previous_);
        CodecReleaseBuffers();
    }
    AlertSink previous_ = nullptr;
};

std::string Encode(const std::vector<unsigned char>& bytes) {
    char* text = Encode64(bytes.data(), static_cast<int32_t>(bytes.size()));
    std::string s = text ? text : "<null>";
    std::free(text);
    return s;
}

std::vector<unsigned char> Decode(const std::string& text, int32_t* length = nullptr) {
    std::vector<unsigned char> out(static_cast<size_t>(Decode64Capacity(static_cast<int32_t>(text.size()))), 0xAA);
    int32_t len = static_cast<int32_t>(text.size());
    Decode64(text.c_str(), out.data(), &len);
    if (length) *length = len;
    EXPECT_EQ(out[static_cast<size_t>(len)], 0) << "Decode64 ends its output with a NUL";
    out.resize(static_cast<size_t>(len));
    return out;
}

std::vector<unsigned char> FingerLikeTemplate(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<unsigned char> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>((i % 7 == 0) ? random() : i / 13);
    return bytes;
}

std::vector<unsigned char> Compress(const std::vector<unsigned char>& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<unsigned char> out(size);
    EXPECT_EQ(compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), 9), Z_OK);
    out.resize(size);
    return out;
}

TEST_F(Codec, Encode64PadsFinalGroups) {
    EXPECT_EQ(Encode({}), "");
    EXPECT_EQ(Encode({0xFF}), "/w==");
    EXPECT_EQ(Encode({0xFF, 0xFF}), "//8=");
    EXPECT_EQ(Encode({0xFF, 0xFF, 0xFF}), "////");
    EXPECT_EQ(Encode({'M', 'a', 'n', 'M'}), "TWFuTQ==");
    EXPECT_EQ(Encode64(nullptr, -1), nullptr);
}

TEST_F(Codec, Decode64PadsSetTheLength) {
    int32_t len = 0;
    EXPECT_EQ(Decode("/w==", &len), std::vector<unsigned char>({0xFF}));
    EXPECT_EQ(len, 1);
    EXPECT_EQ(Decode("//8=", &len), std::vector<unsigned char>({0xFF, 0xFF}));
    EXPECT_EQ(Decode("////", &len), std::vector<unsigned char>({0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(len, 3);
}

TEST_F(Codec, Decode64AbsentTextSetsLengthZero) {
    unsigned char out[8];
    int32_t len = 4;
    Decode64(nullptr, out, &len);
    EXPECT_EQ(len, 0);
    len = 4;
    Decode64("AAAA", nullptr, &len);
    EXPECT_EQ(len, 0);
}

TEST_F(Codec, Decode64ForeignCharactersDecodeAsIndex255) {
    // A line break shifts every later group: wrong bytes, no error, no overrun.
    const std::vector<unsigned char> plain = {1, 2, 3, 4, 5, 6};
    const std::string text = Encode(plain);
    const std::vector<unsigned char> broken = Decode(text.substr(0, 2) + "\n" + text.substr(2));
    EXPECT_NE(broken, plain);
    EXPECT_EQ(Decode("!!!!"), std::vector<unsigned char>({0xFF, 0xFF, 0xFF}));
}

TEST_F(Codec, Decode64TruncatedTextStaysInsideItsCapacity) {
    // Lengths that are not a multiple of four decode up to two bytes more than
    // the text length; Decode64Capacity leaves room for them and the NUL.
    for (const char* text : {"Q", "QU", "QUJ", "QUJDR", "QUJDRA", "QUJDREU"}) {
        int32_t len = 0;
        Decode(text, &len);
        EXPECT_LE(len + 1, Decode64Capacity(static_cast<int32_t>(std::strlen(text)))) << text;
    }
}

TEST_F(Codec, PackThenUnpackRestoresTheTemplate) {
    for (size_t size : {1u, 400u, 1024u, 5120u}) {
        const auto data = FingerLikeTemplate(size, static_cast<unsigned>(size));
        unsigned char stream[kCodecBufferSize];
        int32_t packed = 0;
        ASSERT_TRUE(FK_Pack(data.data(), static_cast<int32_t>(size), stream, &packed)) << size;
        std::vector<unsigned char> out(size);
        const int32_t expected = static_cast<int32_t>(size);
        EXPECT_TRUE(FK_Unpack(stream, packed, out.data(), &expected));
        EXPECT_EQ(out, data);
    }
    EXPECT_TRUE(g_alerts.empty());
}

TEST_F(Codec, PackReportsAStreamThatDoesNotFit) {
    std::mt19937 random(7);
    std::vector<unsigned char> noise(6000);
    for (auto& b : noise) b = static_cast<unsigned char>(random());
    std::vector<unsigned char> out(kCodecBufferSize);
    int32_t packed = -1;
    EXPECT_FALSE(FK_Pack(noise.data(), static_cast<int32_t>(noise.size()), out.data(), &packed));
    EXPECT_LE(packed, kCodecBufferSize);
    EXPECT_EQ(g_alerts, std::vector<std::string>({"deflateEnd Z_DATA_ERROR"}));
    EXPECT_EQ(PackTemplateText(noise.data(), static_cast<int32_t>(noise.size()), kNbioEnvelope), nullptr);
    EXPECT_EQ(g_alerts.size(), 2u) << "the capture side shows the box too";
}

TEST_F(Codec, TemplatesLongerThanTheUnpackBufferAreNotPacked) {
    // Compresses well, but no matching side could unpack it.
    const std::vector<unsigned char> zeros(kCodecBufferSize + 1, 0);
    EXPECT_EQ(PackTemplateText(zeros.data(), static_cast<int32_t>(zeros.size()), kNbioEnvelope), nullptr);
    EXPECT_TRUE(g_alerts.empty());
    char* fits = PackTemplateText(zeros.data(), kCodecBufferSize, kNbioEnvelope);
    EXPECT_NE(fits, nullptr);
    std::free(fits);
}

TEST_F(Codec, UnpackOfTheWrongLengthLeavesOutputUntouched) {
    const auto data = FingerLikeTemplate(300, 1);
    const auto stream = Compress(data);
    std::vector<unsigned char> out(400, 0x5A);
    for (int32_t expected : {299, 301, 0}) {
        EXPECT_FALSE(FK_Unpack(stream.data(), static_cast<int32_t>(stream.size()), out.data(), &expected)) << expected;
        EXPECT_EQ(out, std::vector<unsigned char>(400, 0x5A));
    }
}

TEST_F(Codec, UnpackRejectsSizesItCannotHonour) {
    const auto stream = Compress(FingerLikeTemplate(100, 2));
    unsigned char out[16] = {};
    const int32_t negative = -1, oversized = kCodecBufferSize + 1, fine = 100;
    EXPECT_FALSE(FK_Unpack(stream.data(), static_cast<int32_t>(stream.size()), out, &negative));
    EXPECT_FALSE(FK_Unpack(stream.data(), static_cast<int32_t>(stream.size()), out, &oversized));
    EXPECT_FALSE(FK_Unpack(stream.data(), -5, out, &fine));
}

TEST_F(Codec, UnpackOfAStreamThatInflatesLongFails) {
    // Exactly 5120 bytes come out, but the stream goes on: not a template.
    const auto data = FingerLikeTemplate(kCodecBufferSize + 100, 3);
    const auto stream = Compress(data);
    std::vector<unsigned char> out(kCodecBufferSize);
    const int32_t expected = kCodecBufferSize;
    EXPECT_FALSE(FK_Unpack(stream.data(), static_cast<int32_t>(stream.size()), out.data(), &expected));
}

TEST_F(Codec, UnpackOfNothingReportsTheZlibEndResult) {
    unsigned char out[4] = {9, 9, 9, 9};
    const int32_t expected = 4;
    const unsigned char garbage[3] = {0x01, 0x02, 0x03};
    EXPECT_TRUE(FK_Unpack(garbage, 3, out, &expected));
    EXPECT_EQ(out[0], 9);
}

TEST_F(Codec, UnpackIgnoresABadChecksumWhenTheLengthIsRight) {
    const auto data = FingerLikeTemplate(500, 4);
    auto stream = Compress(data);
    stream.back() ^= 0xFF;
    std::vector<unsigned char> out(500);
    const int32_t expected = 500;
    EXPECT_TRUE(FK_Unpack(stream.data(), static_cast<int32_t>(stream.size()), out.data(), &expected));
    EXPECT_EQ(out, data);
}

TEST_F(Codec, UnpackJudgesByLengthEvenAtAFullBuffer) {
    // Its trailer cut off, a stream that fills the work buffer exactly still
    // inflates to the expected length.
    const auto data = FingerLikeTemplate(kCodecBufferSize, 9);
    auto stream = Compress(data);
    stream.resize(stream.size() - 4);
    std::vector<unsigned char> out(kCodecBufferSize);
    const int32_t expected = kCodecBufferSize;
    EXPECT_TRUE(FK_Unpack(stream.data(), static_cast<int32_t>(stream.size()), out.data(), &expected));
    EXPECT_EQ(out, data);
}

TEST_F(Codec, UnpackOfAStreamThatInflatesShortFails) {
    const auto data = FingerLikeTemplate(500, 5);
    const auto stream = Compress(data);
    std::vector<unsigned char> out(500);
    const int32_t expected = 500;
    EXPECT_FALSE(FK_Unpack(stream.data(), static_cast<int32_t>(stream.size() / 2), out.data(), &expected));
}

TEST_F(Codec, WithoutWorkBuffersNothingPacks) {
    CodecReleaseBuffers();
    unsigned char in[4] = {1, 2, 3, 4}, out[kCodecBufferSize];
    int32_t packed = 7;
    EXPECT_FALSE(FK_Pack(in, 4, out, &packed));
    EXPECT_EQ(packed, 0);
}

class TemplateText : public Codec {};

// Every layout carries the two sizes and, where it has room for them, the
// display image's; nothing else goes into its header.
TEST_F(TemplateText, EveryLayoutRoundTrips) {
    const auto data = FingerLikeTemplate(700, 7);
    for (const EnvelopeLayout& layout : kEnvelopeLayouts) {
        const OwnedText text(PackTemplateText(data.data(), 700, layout, 320, 360));
        ASSERT_NE(text, nullptr) << layout.name;
        DecodedEnvelope envelope;
        DecodeEnvelope(text.get(), static_cast<int32_t>(std::strlen(text.get())), layout, &envelope);
        EXPECT_EQ(envelope.header.unpackedSize, 700) << layout.name;
        EXPECT_EQ(envelope.header.packedSize, envelope.decodedLength - kEnvelopeHeaderSize) << layout.name;
        const auto carries = [&layout](HeaderField field) {
            return std::find(layout.fields.begin(), layout.fields.end(), field) != layout.fields.end();
        };
        EXPECT_EQ(envelope.header.imageWidth, carries(HeaderField::kImageWidth) ? 320 : 0) << layout.name;
        EXPECT_EQ(envelope.header.imageHeight, carries(HeaderField::kImageHeight) ? 360 : 0) << layout.name;
        EXPECT_EQ(text.get(), EnvelopeText(layout, envelope.header, envelope.streamBytes())) << layout.name;
        std::vector<unsigned char> out;
        EXPECT_TRUE(UnpackEnvelope(envelope, &out)) << layout.name;
        EXPECT_EQ(out, data) << layout.name;
    }
}

TEST_F(TemplateText, LyingHeadersAreCaughtBeforeAnyCopy) {
    const auto data = FingerLikeTemplate(200, 8);
    char* text = PackTemplateText(data.data(), 200, kNbioEnvelope);
    ASSERT_NE(text, nullptr);
    DecodedEnvelope good;
    DecodeEnvelope(text, static_cast<int32_t>(std::strlen(text)), kNbioEnvelope, &good);
    std::free(text);

    struct Case {
        const char* name;
        int32_t packed, unpacked;
        bool claimsMore, decodedMore, usable;
    };
    const int32_t c = good.header.packedSize;
    const Case cases[] = {
        {"honest", c, 200, false, false, true},
        {"packed size too large", c + 1, 200, true, false, true},
        {"packed size too small", c - 1, 200, false, true, true},
        {"huge packed size", 0x7FFFFFFF, 200, true, false, true},
        {"negative packed size", -1, 200, false, true, false},
        {"zero unpacked size", c, 0, false, false, false},
        {"negative unpacked size", c, -200, false, false, false},
        {"unpacked size above the work buffer", c, kCodecBufferSize + 1, false, false, false},
    };
    for (const Case& k : cases) {
        DecodedEnvelope e = good;
        e.header.packedSize = k.packed;
        e.header.unpackedSize = k.unpacked;
        EXPECT_EQ(e.claimsMoreThanDecoded(), k.claimsMore) << k.name;
        EXPECT_EQ(e.decodedMoreThanClaimed(), k.decodedMore) << k.name;
        EXPECT_EQ(e.sizesUsable(), k.usable) << k.name;
        std::vector<unsigned char> out;
        if (k.claimsMore || !k.usable) {
            EXPECT_FALSE(UnpackEnvelope(e, &out)) << k.name;
        }
    }
}

TEST_F(TemplateText, ALengthBeyondTheTextStopsAtItsEnd) {
    DecodedEnvelope e;
    DecodeEnvelope("QUJD", 100000, kNbioEnvelope, &e);
    EXPECT_EQ(e.decodedLength, 3);
    DecodeEnvelope(nullptr, 8, kNbioEnvelope, &e);
    EXPECT_EQ(e.decodedLength, 0);
}

TEST_F(TemplateText, ShortAndDamagedTextsDecodeSafely) {
    const std::string texts[] = {"", "A", "AAAA", "QUJD\n", "====", std::string(7, '\xff')};
    for (const std::string& text : texts) {
        DecodedEnvelope e;
        DecodeEnvelope(text.c_str(), static_cast<int32_t>(text.size()), kNbioEnvelope, &e);
        std::vector<unsigned char> out;
        EXPECT_FALSE(UnpackEnvelope(e, &out)) << text;
    }
}

}  // namespace
