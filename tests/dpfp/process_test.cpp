// The DigitalPersona bridge as a guest in its client's process: beside the
// NITGEN bridge, and over many operations.
#include "dpfp_fixture.h"

namespace {

using DpfpProcess = DpfpBridge;

WNDPROC ClassProcedure(HMODULE module) {
    WNDCLASSA windowClass{};
    return GetClassInfoA(module, "BioProc", &windowClass) ? windowClass.lpfnWndProc : nullptr;
}

// fpbridge_nbio.dll loaded beside this one, its capture called by name.
class NitgenBridge {
public:
    NitgenBridge() : m_module(LoadLibraryA("fpbridge_nbio.dll")) {}
    ~NitgenBridge() { unload(); }
    NitgenBridge(const NitgenBridge&) = delete;
    NitgenBridge& operator=(const NitgenBridge&) = delete;
    HMODULE module() const { return m_module; }
    void unload() {
        if (m_module) FreeLibrary(m_module);
        m_module = nullptr;
    }
    std::string capture() const {
        using Capture = char*(__cdecl*)(const char*, int32_t);
        auto function = reinterpret_cast<Capture>(reinterpret_cast<void*>(GetProcAddress(m_module, "FK_Capture")));
        return function ? TakeText(function(nullptr, 1)) : "<no FK_Capture>";
    }

private:
    HMODULE m_module;
};

bool IsTemplate(const std::string& text) { return !text.empty() && text.rfind("ERROR", 0) != 0 && text != "<null>"; }

TEST_F(DpfpProcess, BothBridgesKeepTheirOwnWindowClass) {
    HMODULE dpfp = GetModuleHandleA("fpbridge_dpfp.dll");
    {
        NitgenBridge nbio;
        ASSERT_NE(nbio.module(), nullptr) << GetLastError();
        WNDPROC nbioProcedure = ClassProcedure(nbio.module()), dpfpProcedure = ClassProcedure(dpfp);
        ASSERT_NE(nbioProcedure, nullptr);
        ASSERT_NE(dpfpProcedure, nullptr);
        EXPECT_NE(nbioProcedure, dpfpProcedure);

        CaptureWindowProbe probe;
        EXPECT_TRUE(IsTemplate(Enroll()));
        EXPECT_TRUE(IsTemplate(nbio.capture()));
        EXPECT_EQ(probe.windowsSeen(), 2);
        EXPECT_TRUE(IsTemplate(CaptureLive()));
        nbio.unload();
        EXPECT_EQ(ClassProcedure(dpfp), dpfpProcedure) << "unloading one bridge leaves the other's class";
        EXPECT_TRUE(IsTemplate(Enroll()));
    }
    NitgenBridge again;
    EXPECT_TRUE(IsTemplate(again.capture()));
}

TEST_F(DpfpProcess, AThousandOperationsLeaveNothingBehind) {
    const std::string stored = PackedFeatures(1, true), live = PackedFeatures(1, false);
    // Warm up once, so that whatever a first use makes for good is not counted.
    Enroll();
    CaptureLive();
    const GdiCount gdiObjects = LiveGdiObjects();
    const int windows = LiveWindows();
    Script("delay=0");
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(FK_VerifyMatch("Z", stored.c_str(), "Z", live.c_str(), nullptr), 1);
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(IsTemplate(Enroll()));
        ASSERT_TRUE(IsTemplate(CaptureLive()));
    }
    EXPECT_TRUE(SameGdiObjects(gdiObjects, LiveGdiObjects()));
    EXPECT_EQ(LiveWindows(), windows);
    EXPECT_EQ(DPFPSim_CallCount("DPFPInit"), DPFPSim_CallCount("DPFPTerm"));
    EXPECT_EQ(DPFPSim_CallCount("FX_init"), DPFPSim_CallCount("FX_terminate"));
    EXPECT_EQ(DPFPSim_CallCount("MC_init"), DPFPSim_CallCount("MC_terminate"));
    EXPECT_EQ(DPFPSim_CallCount("FX_createContext"), DPFPSim_CallCount("FX_closeContext"));
    EXPECT_EQ(DPFPSim_CallCount("MC_createContext"), DPFPSim_CallCount("MC_closeContext"));
}

}  // namespace
