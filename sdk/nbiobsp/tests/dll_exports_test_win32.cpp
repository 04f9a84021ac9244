// NBioBSP.dll through its import library, the way fpbridge_nbio uses it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "NBioAPI.h"
#include "NBioSim.h"

namespace {

class DllTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnvironmentVariableA("NBIOSIM_SCRIPT", nullptr);
        NBioSim_Reset();
    }
    void TearDown() override {
        SetEnvironmentVariableA("NBIOSIM_SCRIPT", nullptr);
        NBioSim_Reset();
    }

    void Open() {
        ASSERT_EQ(NBioAPI_Init(&handle), 0u);
        ASSERT_EQ(NBioAPI_OpenDevice(handle, NBioAPI_DEVICE_ID_AUTO), 0u);
    }

    void Close() {
        EXPECT_EQ(NBioAPI_CloseDevice(handle, NBioAPI_DEVICE_ID_AUTO), 0u);
        EXPECT_EQ(NBioAPI_Terminate(handle), 0u);
    }

    static void ExpectAllReleased() {
        NBioSimCounters c{};
        NBioSim_GetCounters(&c);
        EXPECT_EQ(c.instances, 0);
        EXPECT_EQ(c.devices, 0);
        EXPECT_EQ(c.firHandles, 0);
        EXPECT_EQ(c.textFirs, 0);
        EXPECT_EQ(c.exports, 0);
    }

    NBioAPI_RETURN Capture(NBioAPI_FIR_HANDLE* fir, NBioAPI_FIR_HANDLE* audit = nullptr) {
        NBioAPI_WINDOW_OPTION option{};
        option.WindowStyle = NBioAPI_WINDOW_STYLE_INVISIBLE;
        return NBioAPI_Capture(handle, NBioAPI_FIR_PURPOSE_VERIFY, fir, 15000, audit, &option);
    }

    NBioAPI_HANDLE handle = 0;
};

// The whole capture of the bridge with auth type 1, every object released.
TEST_F(DllTest, CaptureToTextAndReleaseEverything) {
    Open();
    NBioAPI_FIR_HANDLE fir = 0;
    EXPECT_EQ(NBioAPI_FreeFIRHandle(handle, fir), 0u);
    NBioAPI_FIR_HANDLE audit = 0;
    ASSERT_EQ(Capture(&fir, &audit), 0u);
    NBioAPI_FIR_TEXTENCODE text{};
    ASSERT_EQ(NBioAPI_FreeTextFIR(handle, &text), 0u);
    ASSERT_EQ(NBioAPI_GetExtendedTextFIRFromHandle(handle, fir, &text, 0, NBioAPI_TEXTFIR_FORMAT_EXTENDED), 0u);
    ASSERT_NE(text.TextFIR, nullptr);
    const size_t length = std::strlen(text.TextFIR);
    EXPECT_GT(length, 300u);
    EXPECT_LT(length, 1500u);
    EXPECT_EQ(NBioAPI_FreeTextFIR(handle, &text), 0u);
    EXPECT_EQ(NBioAPI_FreeFIRHandle(handle, fir), 0u);
    EXPECT_EQ(NBioAPI_FreeFIRHandle(handle, audit), 0u);
    Close();
    ExpectAllReleased();
    EXPECT_EQ(NBioSim_CallCount("NBioAPI_Capture"), 1);
    EXPECT_EQ(NBioSim_CallCount("NBioAPI_FreeFIRHandle"), 3);
}

// The FDx road of auth type 35, and matching the converted data back.
TEST_F(DllTest, FdxExportImportAndMatch) {
    Open();
    NBioAPI_FIR_HANDLE fir = 0;
    ASSERT_EQ(Capture(&fir), 0u);
    NBioAPI_INPUT_FIR input{};
    input.Form = NBioAPI_FIR_FORM_HANDLE;
    input.InputFIR.FIRinBSP = &fir;
    NBioAPI_EXPORT_DATA exported{};
    EXPECT_EQ(NBioAPI_FreeExportData(handle, &exported), 0u);
    ASSERT_EQ(NBioAPI_NBioBSPToFDx(handle, &input, &exported, NBioAPI_FDX_FORMAT_ISO), 0u);
    const NBioAPI_TEMPLATE_DATA& sample = exported.FingerData[0].Template[0];
    const std::vector<uint8_t> bytes(sample.Data, sample.Data + sample.Length);
    EXPECT_EQ(NBioAPI_FreeExportData(handle, &exported), 0u);

    NBioAPI_FIR_HANDLE imported = 0;
    ASSERT_EQ(NBioAPI_FDxToNBioBSP(handle, bytes.data(), static_cast<uint32_t>(bytes.size()), NBioAPI_FDX_FORMAT_ISO,
                                   NBioAPI_FIR_PURPOSE_VERIFY, &imported),
              0u);
    NBioAPI_INPUT_FIR second{};
    second.Form = NBioAPI_FIR_FORM_HANDLE;
    second.InputFIR.FIRinBSP = &imported;
    NBioAPI_BOOL result = 0;
    NBioAPI_FIR_PAYLOAD payload{};
    ASSERT_EQ(NBioAPI_VerifyMatch(handle, &input, &second, &result, &payload), 0u);
    EXPECT_EQ(result, 1);
    NBioAPI_FreeFIRHandle(handle, fir);
    NBioAPI_FreeFIRHandle(handle, imported);
    Close();
    ExpectAllReleased();
}

// Live verification of a stored text against finger 1 and then finger 2.
TEST_F(DllTest, VerifyAgainstStoredText) {
    Open();
    ASSERT_EQ(NBioSim_Configure("finger=1,1,2"), 0);
    NBioAPI_FIR_HANDLE fir = 0;
    ASSERT_EQ(Capture(&fir), 0u);
    NBioAPI_FIR_TEXTENCODE text{};
    ASSERT_EQ(NBioAPI_GetExtendedTextFIRFromHandle(handle, fir, &text, 0, NBioAPI_TEXTFIR_FORMAT_EXTENDED), 0u);
    NBioAPI_INPUT_FIR stored{};
    stored.Form = NBioAPI_FIR_FORM_TEXTENCODE;
    stored.InputFIR.TextFIR = &text;
    NBioAPI_WINDOW_OPTION option{};
    NBioAPI_FIR_PAYLOAD payload{};
    NBioAPI_BOOL result = 0;
    ASSERT_EQ(NBioAPI_Verify(handle, &stored, &result, &payload, -1, nullptr, &option), 0u);
    EXPECT_EQ(result, 1);
    ASSERT_EQ(NBioAPI_Verify(handle, &stored, &result, &payload, -1, nullptr, &option), 0u);
    EXPECT_EQ(result, 0);
    char seen[2048] = {};
    EXPECT_EQ(NBioSim_LastInputText(0, seen, sizeof seen), static_cast<int32_t>(std::strlen(text.TextFIR) + 1));
    EXPECT_STREQ(seen, text.TextFIR);
    NBioAPI_FreeTextFIR(handle, &text);
    NBioAPI_FreeFIRHandle(handle, fir);
    Close();
    ExpectAllReleased();
}

TEST_F(DllTest, BlockedCaptureTimesOutAfterTheReplacedTimeOut) {
    Open();
    ASSERT_EQ(NBioSim_Configure("block=1;timeout=30"), 0);
    NBioAPI_FIR_HANDLE fir = 0;
    EXPECT_EQ(Capture(&fir), static_cast<NBioAPI_RETURN>(NBioAPIERROR_CAPTURE_TIMEOUT));
    EXPECT_EQ(fir, 0u);
    Close();
    ExpectAllReleased();
}

TEST_F(DllTest, CaptureWithoutAnOpenReaderFails) {
    ASSERT_EQ(NBioAPI_Init(&handle), 0u);
    NBioAPI_FIR_HANDLE fir = 0;
    EXPECT_EQ(Capture(&fir), static_cast<NBioAPI_RETURN>(NBioAPIERROR_DEVICE_NOT_OPENED));
    EXPECT_EQ(NBioAPI_Terminate(handle), 0u);
}

TEST_F(DllTest, UnknownHandlesAndNullPointersAreRefused) {
    EXPECT_EQ(NBioAPI_OpenDevice(0, NBioAPI_DEVICE_ID_AUTO), static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_HANDLE));
    EXPECT_EQ(NBioAPI_Terminate(42), static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_HANDLE));
    EXPECT_EQ(NBioAPI_Init(nullptr), static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_POINTER));
    Open();
    EXPECT_EQ(NBioAPI_Capture(handle, 1, nullptr, 15000, nullptr, nullptr),
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_POINTER));
    EXPECT_EQ(NBioAPI_VerifyMatch(handle, nullptr, nullptr, nullptr, nullptr),
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_POINTER));
    Close();
}

TEST_F(DllTest, ScriptFromTheEnvironmentAppliesOnReset) {
    SetEnvironmentVariableA("NBIOSIM_SCRIPT", "open=260");
    NBioSim_Reset();
    ASSERT_EQ(NBioAPI_Init(&handle), 0u);
    EXPECT_EQ(NBioAPI_OpenDevice(handle, NBioAPI_DEVICE_ID_AUTO), 260u);
    EXPECT_EQ(NBioAPI_Terminate(handle), 0u);
}

TEST_F(DllTest, ControlInterfaceToleratesBadArguments) {
    EXPECT_EQ(NBioSim_Configure(nullptr), -1);
    EXPECT_EQ(NBioSim_Configure("capture=banana"), -1);
    EXPECT_EQ(NBioSim_CallCount(nullptr), 0);
    EXPECT_EQ(NBioSim_LastInputText(1, nullptr, 10), 0);
    NBioSim_GetCounters(nullptr);
}

}  // namespace
