// Text FIRs, FDx conversion and matching through the simulator.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "sim_fixture.h"
#include "fir_formats.h"

namespace nbiosim {
namespace {

TEST_F(SimTest, TextFirIsCountedUntilFreedAndFreeingEmptyDoesNothing) {
    const NBioAPI_FIR_HANDLE fir = CaptureOk();
    NBioAPI_FIR_TEXTENCODE text{};
    EXPECT_EQ(sim.FreeTextFIR(handle, &text), 0u) << "an empty record";
    ASSERT_EQ(sim.GetExtendedTextFIRFromHandle(handle, fir, &text, 0, NBioAPI_TEXTFIR_FORMAT_EXTENDED), 0u);
    ASSERT_NE(text.TextFIR, nullptr);
    EXPECT_EQ(text.IsWideChar, 0);
    EXPECT_EQ(std::strncmp(text.TextFIR, kTextFirPrefix, std::strlen(kTextFirPrefix)), 0);
    EXPECT_EQ(sim.Counters().textFirs, 1);
    EXPECT_EQ(sim.FreeTextFIR(handle, &text), 0u);
    EXPECT_EQ(text.TextFIR, nullptr);
    EXPECT_EQ(sim.FreeFIRHandle(handle, fir), 0u);
    ExpectNothingLeft();
}

TEST_F(SimTest, FreeingATextNotOursIsRefused) {
    char foreign[] = "NSFIR1:AAAA";
    NBioAPI_FIR_TEXTENCODE text{0, foreign};
    EXPECT_EQ(sim.FreeTextFIR(handle, &text), static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_POINTER));
    EXPECT_EQ(text.TextFIR, foreign);
    EXPECT_EQ(sim.FreeTextFIR(handle, nullptr), static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_POINTER));
    EXPECT_EQ(sim.FreeTextFIR(0, &text), static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_HANDLE));
}

TEST_F(SimTest, TextFirFailures) {
    const NBioAPI_FIR_HANDLE fir = CaptureOk();
    NBioAPI_FIR_TEXTENCODE text{};
    EXPECT_EQ(sim.GetExtendedTextFIRFromHandle(handle, fir + 1, &text, 0, 1),
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_HANDLE));
    EXPECT_EQ(sim.GetExtendedTextFIRFromHandle(handle, fir, nullptr, 0, 1),
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_POINTER));
    EXPECT_EQ(sim.GetExtendedTextFIRFromHandle(handle, fir, &text, 1, 1), kErrorUnsupported);
    EXPECT_EQ(sim.GetExtendedTextFIRFromHandle(handle, fir, &text, 0, 0), kErrorUnsupported);
    ASSERT_EQ(sim.Configure("textfir=5,0;freetext=9,0"), 0);
    EXPECT_EQ(sim.GetExtendedTextFIRFromHandle(handle, fir, &text, 0, 1), 5u);
    EXPECT_EQ(text.TextFIR, nullptr);
    EXPECT_EQ(sim.FreeTextFIR(handle, &text), 9u);
    EXPECT_EQ(sim.Counters().textFirs, 0);
    sim.FreeFIRHandle(handle, fir);
}

TEST_F(SimTest, FirOfAnotherInstanceIsUnknownHere) {
    const NBioAPI_FIR_HANDLE fir = CaptureOk();
    NBioAPI_HANDLE other = 0;
    ASSERT_EQ(sim.Init(&other), 0u);
    NBioAPI_FIR_TEXTENCODE text{};
    EXPECT_EQ(sim.GetExtendedTextFIRFromHandle(other, fir, &text, 0, 1),
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_HANDLE));
    EXPECT_EQ(sim.FreeFIRHandle(other, fir), static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_HANDLE));
    EXPECT_EQ(sim.FreeFIRHandle(handle, fir), 0u);
}

TEST_F(SimTest, VerifyMatchComparesTextsAndHandlesInAnyMix) {
    ASSERT_EQ(sim.Configure("finger=2,2,8"), 0);
    NBioAPI_FIR_HANDLE first = CaptureOk();
    NBioAPI_FIR_HANDLE same = CaptureOk();
    NBioAPI_FIR_HANDLE other = CaptureOk();
    std::string firstText = TextOf(first);
    std::string sameText = TextOf(same);
    EXPECT_NE(firstText, sameText) << "each capture has its own nonce";
    NBioAPI_FIR_TEXTENCODE firstRecord{0, firstText.data()};
    NBioAPI_FIR_TEXTENCODE sameRecord{0, sameText.data()};

    struct Case {
        NBioAPI_INPUT_FIR a, b;
        NBioAPI_BOOL expected;
    };
    const Case cases[] = {
        {ByText(&firstRecord), ByText(&sameRecord), 1}, {ByHandle(&first), ByHandle(&same), 1},
        {ByText(&firstRecord), ByHandle(&same), 1},     {ByHandle(&first), ByText(&sameRecord), 1},
        {ByText(&firstRecord), ByHandle(&other), 0},    {ByHandle(&other), ByHandle(&same), 0},
    };
    for (const Case& c : cases) {
        NBioAPI_BOOL result = -1;
        NBioAPI_FIR_PAYLOAD payload{7, nullptr};
        ASSERT_EQ(sim.VerifyMatch(handle, &c.a, &c.b, &result, &payload), 0u);
        EXPECT_EQ(result, c.expected);
        EXPECT_EQ(payload.Length, 0u);
    }
    char out[2048];
    sim.LastInputText(1, out, sizeof out);
    EXPECT_EQ(out, firstText);
    sim.LastInputText(2, out, sizeof out);
    EXPECT_EQ(out, sameText);

    for (NBioAPI_FIR_HANDLE fir : {first, same, other}) sim.FreeFIRHandle(handle, fir);
    ExpectNothingLeft();
}

TEST_F(SimTest, VerifyMatchFailures) {
    NBioAPI_FIR_HANDLE fir = CaptureOk();
    NBioAPI_FIR_HANDLE missing = fir + 100;
    char garbage[] = "NSFIR1:bm90IGEgRklS";
    NBioAPI_FIR_TEXTENCODE bad{0, garbage};
    NBioAPI_FIR_TEXTENCODE empty{0, nullptr};
    NBioAPI_FIR_TEXTENCODE wide{1, garbage};
    NBioAPI_INPUT_FIR good = ByHandle(&fir);
    NBioAPI_INPUT_FIR odd = good;
    odd.Form = 3;
    NBioAPI_INPUT_FIR nullHandle = ByHandle(nullptr);
    NBioAPI_BOOL result = 1;

    const NBioAPI_INPUT_FIR badText = ByText(&bad);
    EXPECT_EQ(sim.VerifyMatch(handle, &good, &badText, &result, nullptr),
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_DATA_CANNOT_BE_DECRYPTED));
    EXPECT_EQ(result, 0);
    const NBioAPI_INPUT_FIR missingFir = ByHandle(&missing);
    EXPECT_EQ(sim.VerifyMatch(handle, &missingFir, &good, &result, nullptr),
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_HANDLE));
    const NBioAPI_INPUT_FIR emptyText = ByText(&empty);
    EXPECT_EQ(sim.VerifyMatch(handle, &good, &emptyText, &result, nullptr),
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_POINTER));
    EXPECT_EQ(sim.VerifyMatch(handle, &good, &nullHandle, &result, nullptr),
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_POINTER));
    const NBioAPI_INPUT_FIR wideText = ByText(&wide);
    EXPECT_EQ(sim.VerifyMatch(handle, &good, &wideText, &result, nullptr), kErrorUnsupported);
    EXPECT_EQ(sim.VerifyMatch(handle, &good, &odd, &result, nullptr), kErrorUnsupported);
    EXPECT_EQ(sim.VerifyMatch(handle, &good, nullptr, &result, nullptr),
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_POINTER));
    EXPECT_EQ(sim.VerifyMatch(handle, &good, &good, nullptr, nullptr),
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_POINTER));
    EXPECT_EQ(sim.VerifyMatch(0, &good, &good, &result, nullptr),
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_HANDLE));

    ASSERT_EQ(sim.Configure("verifymatch=13,0"), 0);
    EXPECT_EQ(sim.VerifyMatch(handle, &good, &good, &result, nullptr), 13u);
    EXPECT_EQ(sim.VerifyMatch(handle, &good, &good, &result, nullptr), 0u);
    EXPECT_EQ(result, 1);
    sim.FreeFIRHandle(handle, fir);
}

TEST_F(SimTest, FdxRoundTripGivesAMatchingNewFir) {
    NBioAPI_FIR_HANDLE fir = CaptureOk();
    const NBioAPI_INPUT_FIR input = ByHandle(&fir);
    NBioAPI_EXPORT_DATA exported{};
    ASSERT_EQ(sim.NBioBSPToFDx(handle, &input, &exported, NBioAPI_FDX_FORMAT_ISO), 0u);
    EXPECT_EQ(exported.Length, sizeof(NBioAPI_EXPORT_DATA));
    EXPECT_EQ(exported.FormatType, NBioAPI_FDX_FORMAT_ISO);
    EXPECT_EQ(exported.FingerNum, 1);
    EXPECT_EQ(exported.SamplesPerFinger, 1);
    ASSERT_NE(exported.FingerData, nullptr);
    EXPECT_EQ(exported.FingerData->FingerID, 1);
    const NBioAPI_TEMPLATE_DATA& sample = exported.FingerData->Template[0];
    ASSERT_NE(sample.Data, nullptr);
    EXPECT_GE(sample.Length, 300u);
    EXPECT_EQ(sim.Counters().exports, 1);

    // The bridge keeps the bytes after releasing the record, so copy them.
    const std::vector<uint8_t> bytes(sample.Data, sample.Data + sample.Length);
    EXPECT_EQ(sim.FreeExportData(handle, &exported), 0u);
    EXPECT_EQ(exported.FingerData, nullptr);

    NBioAPI_FIR_HANDLE imported = 0;
    ASSERT_EQ(
        sim.FDxToNBioBSP(handle, bytes.data(), static_cast<uint32_t>(bytes.size()), NBioAPI_FDX_FORMAT_ISO, &imported),
        0u);
    ASSERT_NE(imported, 0u);
    NBioAPI_INPUT_FIR a = ByHandle(&fir), b = ByHandle(&imported);
    NBioAPI_BOOL result = 0;
    ASSERT_EQ(sim.VerifyMatch(handle, &a, &b, &result, nullptr), 0u);
    EXPECT_EQ(result, 1);
    sim.FreeFIRHandle(handle, fir);
    sim.FreeFIRHandle(handle, imported);
    ExpectNothingLeft();
}

TEST_F(SimTest, FdxFailures) {
    NBioAPI_FIR_HANDLE fir = CaptureOk();
    const NBioAPI_INPUT_FIR input = ByHandle(&fir);
    NBioAPI_EXPORT_DATA exported{};
    EXPECT_EQ(sim.NBioBSPToFDx(handle, &input, &exported, 1), static_cast<NBioAPI_RETURN>(NBioAPIERROR_FDX_CONVERSION));
    EXPECT_EQ(exported.FingerData, nullptr);
    EXPECT_EQ(sim.NBioBSPToFDx(handle, nullptr, &exported, 35),
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_POINTER));
    EXPECT_EQ(sim.NBioBSPToFDx(handle, &input, nullptr, 35), static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_POINTER));
    NBioAPI_FIR_HANDLE missing = fir + 1;
    const NBioAPI_INPUT_FIR missingInput = ByHandle(&missing);
    EXPECT_EQ(sim.NBioBSPToFDx(handle, &missingInput, &exported, 35),
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_HANDLE));

    ASSERT_EQ(sim.NBioBSPToFDx(handle, &input, &exported, 35), 0u);
    std::vector<uint8_t> bytes(exported.FingerData->Template->Data,
                               exported.FingerData->Template->Data + exported.FingerData->Template->Length);
    sim.FreeExportData(handle, &exported);
    NBioAPI_FIR_HANDLE imported = 5;
    EXPECT_EQ(sim.FDxToNBioBSP(handle, bytes.data(), static_cast<uint32_t>(bytes.size()), 36, &imported),
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_FDX_CONVERSION));
    EXPECT_EQ(imported, 0u);
    bytes[bytes.size() / 2] ^= 1;
    EXPECT_EQ(sim.FDxToNBioBSP(handle, bytes.data(), static_cast<uint32_t>(bytes.size()), 35, &imported),
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_FDX_CONVERSION));
    EXPECT_EQ(sim.FDxToNBioBSP(handle, nullptr, 10, 35, &imported),
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_POINTER));
    EXPECT_EQ(sim.FDxToNBioBSP(handle, bytes.data(), 10, 35, nullptr),
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_POINTER));

    ASSERT_EQ(sim.Configure("tofdx=0x301;fromfdx=7"), 0);
    EXPECT_EQ(sim.NBioBSPToFDx(handle, &input, &exported, 35), 0x301u);
    EXPECT_EQ(sim.FDxToNBioBSP(handle, bytes.data(), static_cast<uint32_t>(bytes.size()), 35, &imported), 7u);
    sim.FreeFIRHandle(handle, fir);
    ExpectNothingLeft();
}

TEST_F(SimTest, FreeExportDataOfAZeroedRecordDoesNothing) {
    NBioAPI_EXPORT_DATA zeroed{};
    EXPECT_EQ(sim.FreeExportData(handle, &zeroed), 0u);
    EXPECT_EQ(sim.FreeExportData(handle, nullptr), static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_POINTER));
    NBioAPI_FINGER_DATA foreign{};
    NBioAPI_EXPORT_DATA notOurs{};
    notOurs.FingerData = &foreign;
    EXPECT_EQ(sim.FreeExportData(handle, &notOurs), static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_POINTER));
}

TEST_F(SimTest, TextFirConvertsToFdxToo) {
    NBioAPI_FIR_HANDLE fir = CaptureOk();
    std::string text = TextOf(fir);
    NBioAPI_FIR_TEXTENCODE record{0, text.data()};
    const NBioAPI_INPUT_FIR input = ByText(&record);
    NBioAPI_EXPORT_DATA exported{};
    ASSERT_EQ(sim.NBioBSPToFDx(handle, &input, &exported, 35), 0u);
    EXPECT_EQ(sim.FreeExportData(handle, &exported), 0u);
    sim.FreeFIRHandle(handle, fir);
    ExpectNothingLeft();
}

}  // namespace
}  // namespace nbiosim
