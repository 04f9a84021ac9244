// Base64, template records, text FIRs and FDx data of the simulated reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base64.h"
#include "finger_template.h"
#include "fir_formats.h"

namespace nbiosim {
namespace {

std::vector<uint8_t> Bytes(const std::string& s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

TEST(Base64, KnownVectorsRoundTrip) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="},
    };
    for (const auto& [plain, encoded] : cases) {
        EXPECT_EQ(EncodeBase64(Bytes(plain)), encoded);
        const auto decoded = DecodeBase64(encoded);
        ASSERT_TRUE(decoded) << encoded;
        EXPECT_EQ(*decoded, Bytes(plain));
    }
}

TEST(Base64, RejectsDamagedTexts) {
    for (const char* bad : {"Zg=", "Zg===", "Z===", "Zm9v!A==", "=Zm9", "Zh==", "Zm9=Zm9v", "Zm 9"}) {
        EXPECT_FALSE(DecodeBase64(bad)) << bad;
    }
}

TEST(TextFir, RoundTripsAndStaysAsciiOfModestSize) {
    const FingerTemplate tmpl = CaptureTemplate(3, 77);
    const std::string text = EncodeTextFir(tmpl);
    EXPECT_EQ(text.rfind(kTextFirPrefix, 0), 0u);
    EXPECT_GE(text.size(), 300u);
    EXPECT_LE(text.size(), 1500u);
    for (char c : text) EXPECT_TRUE(c > 32 && c < 127) << int(c);

    const auto back = DecodeTextFir(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->finger, 3);
    EXPECT_EQ(back->nonce, 77u);
    EXPECT_EQ(EncodeTextFir(*back), text);
}

TEST(TextFir, RejectsDamage) {
    const std::string good = EncodeTextFir(CaptureTemplate(1, 5));
    std::string flipped = good;
    flipped[good.size() / 2] = flipped[good.size() / 2] == 'A' ? 'B' : 'A';
    const std::vector<std::string> bad = {
        "",      kTextFirPrefix, good.substr(1), "XSFIR1:" + good.substr(7), good.substr(0, good.size() - 4),
        flipped, good + "AAAA",
    };
    for (const std::string& text : bad) EXPECT_FALSE(DecodeTextFir(text)) << text.substr(0, 40);
}

TEST(FirRecord, RejectsImplausibleContent) {
    FingerTemplate outOfRange = CaptureTemplate(2, 9);
    outOfRange.finger = 11;
    EXPECT_FALSE(DecodeFirRecord(EncodeFirRecord(outOfRange)));

    FingerTemplate offSensor = CaptureTemplate(2, 9);
    offSensor.minutiae[0].x = kSensorWidth;
    EXPECT_FALSE(DecodeFirRecord(EncodeFirRecord(offSensor)));

    FingerTemplate empty = CaptureTemplate(2, 9);
    empty.minutiae.clear();
    EXPECT_FALSE(DecodeFirRecord(EncodeFirRecord(empty)));
}

TEST(Fdx, RoundTripsWithItsFormatOnly) {
    const FingerTemplate tmpl = CaptureTemplate(7, 1234);
    const std::vector<uint8_t> fdx = EncodeFdx(tmpl, kFdxFormatIso);
    const auto back = DecodeFdx(fdx.data(), fdx.size(), kFdxFormatIso);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->finger, 7);
    EXPECT_EQ(back->nonce, 1234u);
    EXPECT_TRUE(SameFinger(*back, tmpl));
    EXPECT_FALSE(DecodeFdx(fdx.data(), fdx.size(), 36));
}

TEST(Fdx, RejectsDamageAndForeignBytes) {
    const std::vector<uint8_t> fdx = EncodeFdx(CaptureTemplate(4, 8), kFdxFormatIso);
    EXPECT_FALSE(DecodeFdx(nullptr, fdx.size(), kFdxFormatIso));
    EXPECT_FALSE(DecodeFdx(fdx.data(), 0, kFdxFormatIso));
    EXPECT_FALSE(DecodeFdx(fdx.data(), fdx.size() - 1, kFdxFormatIso));
    std::vector<uint8_t> flipped = fdx;
    flipped[40] ^= 0x10;
    EXPECT_FALSE(DecodeFdx(flipped.data(), flipped.size(), kFdxFormatIso));
    // A FIR record is not FDx data, even of the same finger.
    const std::vector<uint8_t> fir = EncodeFirRecord(CaptureTemplate(4, 8));
    EXPECT_FALSE(DecodeFdx(fir.data(), fir.size(), kFdxFormatIso));
}

TEST(Matching, CapturesOfOneFingerDifferInBytesButMatch) {
    for (uint8_t finger = kFirstFinger; finger <= kLastFinger; ++finger) {
        const FingerTemplate a = CaptureTemplate(finger, 1);
        const FingerTemplate b = CaptureTemplate(finger, 2);
        EXPECT_NE(EncodeFirRecord(a), EncodeFirRecord(b));
        EXPECT_TRUE(SameFinger(a, b)) << int(finger);
    }
}

TEST(Matching, DifferentFingersNeverMatch) {
    for (uint8_t f = kFirstFinger; f <= kLastFinger; ++f) {
        for (uint8_t g = kFirstFinger; g <= kLastFinger; ++g) {
            if (f == g) continue;
            for (uint32_t nonce = 1; nonce <= 5; ++nonce) {
                EXPECT_FALSE(SameFinger(CaptureTemplate(f, nonce), CaptureTemplate(g, nonce + 100)))
                    << int(f) << " vs " << int(g);
            }
        }
    }
}

TEST(Matching, EmptyTemplateMatchesNothing) {
    FingerTemplate empty;
    empty.finger = 1;
    EXPECT_FALSE(SameFinger(empty, CaptureTemplate(1, 1)));
    EXPECT_FALSE(SameFinger(CaptureTemplate(1, 1), empty));
}

}  // namespace
}  // namespace nbiosim
