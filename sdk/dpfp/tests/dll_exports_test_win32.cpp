// Every export through the libraries a bridge links: each SDK name reaches its
// own function in dpfpsim.dll, and null pointers and unknown handles get an
// error code instead of a crash.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "DPFPApi.h"
#include "DPFPSim.h"
#include "dpHFtrEx.h"
#include "dpHMatch.h"

namespace {

constexpr int32_t kNullPointer = static_cast<int32_t>(0x80004003u);
constexpr int32_t kInvalidArgument = static_cast<int32_t>(0x80070057u);
constexpr int32_t kInvalidParameter = -2;
constexpr int32_t kInvalidContext = -17;

TEST(DllExports, EveryFunctionReachesItsOwnAndRefusesNullPointers) {
    const struct {
        const char* name;
        std::function<int32_t()> call;
        int32_t expected;
    } cases[] = {
        {"DPFPInit", [] { return DPFPInit(); }, 0},
        {"FX_init", [] { return FX_init(); }, 0},
        {"FX_terminate", [] { return FX_terminate(); }, 0},
        {"MC_init", [] { return MC_init(); }, 0},
        {"MC_terminate", [] { return MC_terminate(); }, 0},
        {"DPFPEnumerateDevices", [] { return DPFPEnumerateDevices(nullptr, nullptr); }, kNullPointer},
        {"DPFPGetDeviceInfo", [] { return DPFPGetDeviceInfo(nullptr, nullptr); }, kNullPointer},
        {"DPFPCreateAcquisition", [] { return DPFPCreateAcquisition(3, nullptr, 4, nullptr, 2024, nullptr); },
         kNullPointer},
        {"DPFPStartAcquisition", [] { return DPFPStartAcquisition(0x5EED); }, kInvalidArgument},
        {"DPFPConvertSampleToBitmap", [] { return DPFPConvertSampleToBitmap(nullptr, nullptr, nullptr); },
         kNullPointer},
        {"FX_createContext", [] { return FX_createContext(nullptr); }, kInvalidParameter},
        {"FX_closeContext", [] { return FX_closeContext(0x5EED); }, kInvalidContext},
        {"FX_getFeaturesLen", [] { return FX_getFeaturesLen(0, nullptr, nullptr); }, kInvalidParameter},
        {"FX_extractFeatures",
         [] { return FX_extractFeatures(0, 0, nullptr, 0, 0, nullptr, nullptr, nullptr, nullptr); }, kInvalidParameter},
        {"FX_getDisplayImage", [] { return FX_getDisplayImage(0, nullptr, nullptr, 0, 256, nullptr); },
         kInvalidParameter},
        {"MC_createContext", [] { return MC_createContext(nullptr); }, kInvalidParameter},
        {"MC_closeContext", [] { return MC_closeContext(0x5EED); }, kInvalidContext},
        {"MC_getSettings", [] { return MC_getSettings(nullptr); }, kInvalidParameter},
        {"MC_getFeaturesLen", [] { return MC_getFeaturesLen(1, 0, nullptr, nullptr); }, kInvalidParameter},
        {"MC_generateRegFeatures",
         [] { return MC_generateRegFeatures(0, 0, 4, 512, nullptr, 1024, nullptr, nullptr, nullptr); },
         kInvalidParameter},
        {"MC_verifyFeaturesEx",
         [] { return MC_verifyFeaturesEx(0, 0, nullptr, 0, nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr); },
         kInvalidParameter},
    };
    for (const auto& c : cases) {
        DPFPSim_Reset();
        EXPECT_EQ(c.call(), c.expected) << c.name;
        EXPECT_EQ(DPFPSim_CallCount(c.name), 1) << c.name << " reached another function";
    }
}

TEST(DllExports, ControlFunctionsTakeNullPointers) {
    EXPECT_EQ(DPFPSim_Configure(nullptr), -1);
    EXPECT_EQ(DPFPSim_CallCount(nullptr), 0);
    EXPECT_EQ(DPFPSim_MakeFeatures(1, 1, nullptr, 0), 1024);
    DPFPSim_GetCounters(nullptr);
    DPFPSim_GetLastCall(nullptr);
}

}  // namespace
