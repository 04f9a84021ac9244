// Shared set-up of the NITGEN bridge tests: the real fpbridge_nbio.dll over the
// simulated reader, with every SDK object checked for release after each test.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "NBioSim.h"
#include "fpbridge_nbio.h"
#include "template_codec.h"
#include "template_text.h"

class NbioBridge : public ::testing::Test {
protected:
    void SetUp() override {
        NBioSim_Reset();
        FK_SetAuthType(1);
    }
    void TearDown() override {
        NBioSimCounters live{};
        NBioSim_GetCounters(&live);
        EXPECT_EQ(live.instances, 0);
        EXPECT_EQ(live.devices, 0);
        EXPECT_EQ(live.firHandles, 0);
        EXPECT_EQ(live.textFirs, 0);
        EXPECT_EQ(live.exports, 0);
    }
    static void Script(const char* script) { ASSERT_EQ(NBioSim_Configure(script), 0) << script; }
};

// For tests that read or forge packed template texts with the codec, which
// needs its work buffers in this process too.
class NbioCodecBridge : public NbioBridge {
protected:
    void SetUp() override {
        NbioBridge::SetUp();
        ASSERT_TRUE(CodecAllocateBuffers());
    }
    void TearDown() override {
        CodecReleaseBuffers();
        NbioBridge::TearDown();
    }
};

// The template bytes inside a packed template text (empty when it does not unpack).
inline std::vector<unsigned char> UnpackedTemplate(const std::string& text, DecodedEnvelope* envelope = nullptr) {
    DecodedEnvelope decoded;
    DecodeEnvelope(text.c_str(), static_cast<int32_t>(text.size()), EnvelopeLayout::kNbio, &decoded);
    std::vector<unsigned char> bytes;
    if (!UnpackEnvelope(decoded, &bytes)) bytes.clear();
    if (envelope) *envelope = decoded;
    return bytes;
}

// The text FK_Capture returned, freed.
inline std::string TakeText(char* text) {
    std::string s = text ? text : "<null>";
    std::free(text);
    return s;
}

inline std::string CaptureText() { return TakeText(FK_Capture(nullptr, 1)); }

// Live GDI objects of this process. Wine answers GetObjectType for a handle
// given by its table index alone, so walking the table counts them (its
// GetGuiResources always answers 0).
int LiveGdiObjects();
// Windows of this process, children included.
int LiveWindows();

// Watches the capture window from the operation's own thread: a message hook
// sees every message the window's loop takes, so nothing has to sleep or poll.
class CaptureWindowProbe {
public:
    struct Child {
        std::string className, text;
        RECT rect;
        int id;
    };
    struct Seen {
        HWND frame = nullptr, imagePane = nullptr;
        RECT rect{};
        LONG style = 0, exStyle = 0;
        std::string title;
        std::vector<Child> children;
        // After a forced repaint: pixels of the logo's square that are not white,
        // and the colour of a corner that the logo does not reach.
        int logoPixels = 0;
        COLORREF corner = 0;
        ULONGLONG clickedAt = 0, destroyedAt = 0;
    };

    explicit CaptureWindowProbe(bool pressCancel = false);
    ~CaptureWindowProbe();
    CaptureWindowProbe(const CaptureWindowProbe&) = delete;
    CaptureWindowProbe& operator=(const CaptureWindowProbe&) = delete;

    int windowsSeen() const { return m_windowsSeen; }
    const Seen& last() const { return m_last; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK Destruction(int code, WPARAM wParam, LPARAM lParam);
    void look(HWND frame);

    bool m_pressCancel;
    HHOOK m_hook = nullptr;
    HHOOK m_destruction = nullptr;
    HWND m_current = nullptr;
    int m_windowsSeen = 0;
    Seen m_last;
};
