#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "nbio_fixture.h"

namespace {

using NbioCapture = NbioCodecBridge;

TEST_F(NbioCapture, TemplateTextCarriesTheCapturedFir) {
    CaptureWindowProbe probe;
    const std::string text = CaptureText();
    EXPECT_EQ(probe.windowsSeen(), 1);
    DecodedEnvelope envelope;
    const auto fir = UnpackedTemplate(text, &envelope);
    ASSERT_FALSE(fir.empty());
    EXPECT_EQ(text.size() % 4, 0u);
    EXPECT_EQ(envelope.header.packedSize, envelope.decodedLength - kEnvelopeHeaderSize);
    EXPECT_EQ(text, EnvelopeText(kNbioEnvelope, envelope.header, envelope.streamBytes()))
        << "nothing in the header but what the layout carries";
    ASSERT_EQ(static_cast<int32_t>(fir.size()), envelope.header.unpackedSize);
    // The SDK's text-encoded FIR, without its terminator.
    EXPECT_EQ(std::find(fir.begin(), fir.end(), 0), fir.end());
    EXPECT_EQ(NBioSim_CallCount("NBioAPI_FreeTextFIR"), 2) << "the empty record first, the text at the end";
    EXPECT_EQ(NBioSim_CallCount("NBioAPI_FreeFIRHandle"), 3) << "the empty handle first, then the capture and its audit";
}

TEST_F(NbioCapture, FdxTemplateTextCarriesTheFirstSample) {
    FK_SetAuthType(2);
    const std::string text = CaptureText();
    DecodedEnvelope envelope;
    const auto fdx = UnpackedTemplate(text, &envelope);
    EXPECT_GT(fdx.size(), 0u);
    EXPECT_EQ(NBioSim_CallCount("NBioAPI_FreeExportData"), 2);
}

TEST_F(NbioCapture, WindowIsCentredTopmostWithItsFiveChildren) {
    CaptureWindowProbe probe;
    Script("delay=50");
    CaptureText();
    ASSERT_EQ(probe.windowsSeen(), 1);
    const auto& seen = probe.last();
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(seen.rect.left, width / 2 - 250);
    EXPECT_EQ(seen.rect.top, height / 2 - 250);
    if (width == 1024 && height == 768) {
        EXPECT_EQ(seen.rect.left, 262);
        EXPECT_EQ(seen.rect.top, 134);
    }
    EXPECT_EQ(seen.rect.right - seen.rect.left, 500);
    EXPECT_EQ(seen.rect.bottom - seen.rect.top, 500);
    EXPECT_EQ(seen.title, "KAVRO - Biometria");
    EXPECT_EQ(static_cast<DWORD>(seen.style) & 0x90800000u, 0x90800000u) << "popup, visible, border";
    EXPECT_EQ(seen.exStyle & 0x101, 0x101) << "dialog modal frame, window edge";
    EXPECT_TRUE(seen.exStyle & WS_EX_TOPMOST);
    EXPECT_GT(seen.logoPixels, 20) << "the logo, drawn again after a repaint";
    EXPECT_EQ(seen.corner, RGB(255, 255, 255));

    // The SDK draws into the image pane of this very window.
    NBioSimLastCall call{};
    NBioSim_GetLastCall(&call);
    EXPECT_EQ(call.capturePurpose, NBioAPI_FIR_PURPOSE_VERIFY);
    EXPECT_EQ(call.captureTimeoutMs, 15000);
    EXPECT_EQ(call.window.WindowStyle, 1u);
    EXPECT_EQ(call.window.ParentWnd, seen.frame);
    EXPECT_EQ(call.window.FingerWnd, seen.imagePane);
    EXPECT_NE(seen.imagePane, nullptr);

    struct Expected {
        const char* className;
        const char* text;
        RECT rect;
        int id;
    };
    const Expected children[] = {
        {"Static", "", {0, 0, 1, 1}, 0},
        {"Static", "BIO Version: 1, 0, 1, 7", {0, 460, 430, 480}, 0},
        {"Static", "Aproxime o dedo do dispositivo.", {0, 480, 430, 500}, 0},
        {"Static", "", {180, 0, 500, 480}, 0},
        {"Button", "Cancelar", {430, 480, 500, 500}, 2},
    };
    ASSERT_EQ(seen.children.size(), 5u);
    // The logo holder sits at the client origin; the frame's border lies outside it.
    RECT origin{};
    for (const auto& c : seen.children) {
        if (c.rect.right - c.rect.left == 1) origin = c.rect;
    }
    for (const Expected& e : children) {
        const CaptureWindowProbe::Child* found = nullptr;
        for (const auto& c : seen.children) {
            if (c.rect.left - origin.left == e.rect.left && c.rect.top - origin.top == e.rect.top &&
                c.rect.right - origin.left == e.rect.right && c.rect.bottom - origin.top == e.rect.bottom) {
                found = &c;
            }
        }
        ASSERT_NE(found, nullptr) << e.text << " at " << e.rect.left << "," << e.rect.top;
        EXPECT_EQ(_stricmp(found->className.c_str(), e.className), 0) << found->className;
        EXPECT_EQ(found->text, e.text);
        EXPECT_EQ(found->id, e.id) << e.text;
    }
    EXPECT_EQ(FindWindowA("BioProc", "KAVRO - Biometria"), nullptr) << "the frame is gone after the operation";
}

TEST_F(NbioCapture, CancelClosesTheWindowAndTheNextCaptureWorks) {
    // The reader gives up only after two seconds; "Cancelar" cannot stop it.
    // Pressed by a person, or by the test reader's script 300 ms in: alike.
    for (const bool scripted : {false, true}) {
        NBioSim_Reset();
        Script(scripted ? "block=1;timeout=2000;cancel=300" : "block=1;timeout=2000");
        CaptureWindowProbe probe(!scripted);
        const ULONGLONG startedAt = GetTickCount64();
        // The operation still waits for its worker: the text is the one the
        // worker wrote when the SDK gave up.
        EXPECT_EQ(CaptureText(), "ERROR - Fingerprint capture left due to delay to capture a valid digital");
        const ULONGLONG returnedAt = GetTickCount64();
        EXPECT_EQ(probe.windowsSeen(), 1);
        const auto& seen = probe.last();
        ASSERT_NE(seen.destroyedAt, 0u);
        const ULONGLONG pressedAt = scripted ? startedAt + 300 : seen.clickedAt;
        ASSERT_NE(pressedAt, 0u);
        // The frame went at the press, long before the reader gave up.
        EXPECT_LT(seen.destroyedAt - pressedAt, 1000u) << (scripted ? "scripted" : "clicked");
        EXPECT_GE(returnedAt - pressedAt, 1000u) << (scripted ? "scripted" : "clicked");
    }
    NBioSim_Reset();
    CaptureWindowProbe probe;
    const std::string text = CaptureText();
    EXPECT_EQ(text.rfind("ERROR", 0), std::string::npos) << text;
    EXPECT_EQ(probe.windowsSeen(), 1);
}

TEST_F(NbioCapture, CaptureFailuresHaveTheirTexts) {
    const std::pair<const char*, const char*> cases[] = {
        {"capture=1", "ERROR - Fingerprint capture failed, invalid handle"},
        {"capture=2", "ERROR - Fingerprint capture failed, invalid pointer"},
        {"capture=261", "ERROR - Fingerprint capture failed, device not opened"},
        {"capture=515", "ERROR - Fingerprint capture left due to delay to capture a valid digital"},
        {"capture=516", "ERROR - Fingerprint capture failed, fake suspicious"},
        {"capture=999", "ERROR - Fingerprint capture failed, error on receive the text-encoded FIR, error: '999'"},
        {"textfir=1", "ERROR - Fingerprint capture failed, error on receive the text-encoded FIR, invalid handle"},
        {"textfir=2", "ERROR - Fingerprint capture failed, error on receive the text-encoded FIR, invalid pointer"},
        {"textfir=77", "ERROR - Fingerprint capture failed, error on receive the text-encoded FIR, error: '77'"},
        {"freetext=9", "ERROR - Failed to free the memory allocated for the text-encoded FIR, error: '9'"},
        {"open=260", "ERROR - Fingerprint device initialization failed, operation: '2026', error: '260'"},
        {"init=3", "ERROR - Fingerprint device not found"},
    };
    for (const auto& [script, expected] : cases) {
        NBioSim_Reset();
        Script(script);
        EXPECT_EQ(CaptureText(), expected) << script;
    }
}

TEST_F(NbioCapture, ConnectionFailureShowsNoWindow) {
    Script("open=260");
    CaptureWindowProbe probe;
    CaptureText();
    EXPECT_EQ(probe.windowsSeen(), 0);
    EXPECT_EQ(NBioSim_CallCount("NBioAPI_Capture"), 0);
}

TEST_F(NbioCapture, WithoutAWindowTheOperationWaitsForItsWorkerAlone) {
    // Take the window class away so that no frame can be made.
    HMODULE library = GetModuleHandleA("fpbridge_nbio.dll");
    WNDCLASSA windowClass{};
    ASSERT_TRUE(GetClassInfoA(library, "BioProc", &windowClass));
    ASSERT_TRUE(UnregisterClassA("BioProc", library));
    CaptureWindowProbe probe;
    Script("delay=200");
    const size_t logged = OperationLogSize();
    const std::string text = CaptureText();
    EXPECT_EQ(text.rfind("ERROR", 0), std::string::npos) << text;
    EXPECT_EQ(probe.windowsSeen(), 0);
    // The record carries the system's error number (class not found).
    const std::string log = OperationLogSince(logged), failed = "CreateWindowExA(\"BioProc\") failed, system error ";
    const size_t record = log.find(failed);
    ASSERT_NE(record, std::string::npos);
    EXPECT_GT(std::atoi(log.c_str() + record + failed.size()), 0);
    EXPECT_TRUE(RegisterClassA(&windowClass));
    EXPECT_EQ(CaptureText().rfind("ERROR", 0), std::string::npos);
}

TEST_F(NbioCapture, FdxConversionFailureGivesAnEmptyText) {
    FK_SetAuthType(2);
    Script("tofdx=5");
    char* text = FK_Capture(nullptr, 1);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text, 512), std::string(512, '\0'));
    std::free(text);
}

TEST_F(NbioCapture, VerifyServerIsACapture) {
    const std::string text = TakeText(FK_VerifyServer());
    EXPECT_EQ(text.rfind("ERROR", 0), std::string::npos) << text;
    EXPECT_EQ(NBioSim_CallCount("NBioAPI_Capture"), 1);
}

TEST_F(NbioCapture, ManyOperationsLeaveNothingBehind) {
    const std::string stored = CaptureText();
    const GdiCount gdiBefore = LiveGdiObjects();
    const int windowsBefore = LiveWindows();
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(FK_Match(stored.c_str(), stored.c_str()), 1);
        if (i % 50 == 0) {
            EXPECT_EQ(FK_Verify("Z", stored.c_str()), 1);
        } else if (i % 50 == 25) {
            CaptureText();
        }
    }
    EXPECT_TRUE(SameGdiObjects(gdiBefore, LiveGdiObjects()));
    EXPECT_EQ(LiveWindows(), windowsBefore);
}

}  // namespace
