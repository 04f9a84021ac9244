// A simulator with an open instance and reader, and the few steps most tests
// take: a whole capture (both halves, no waiting), a text FIR, input records.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "simulator.h"

namespace nbiosim {

class SimTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(sim.Init(&handle), 0u);
        ASSERT_EQ(sim.OpenDevice(handle, NBioAPI_DEVICE_ID_AUTO), 0u);
    }

    NBioAPI_RETURN Capture(NBioAPI_FIR_HANDLE* fir, NBioAPI_FIR_HANDLE* audit = nullptr) {
        const CaptureStart start = sim.BeginCapture(handle, 1, fir, 15000, nullptr);
        if (start.error != 0) return start.error;
        return sim.FinishCapture(handle, start.plan, fir, audit);
    }

    NBioAPI_FIR_HANDLE CaptureOk() {
        NBioAPI_FIR_HANDLE fir = 0;
        EXPECT_EQ(Capture(&fir), 0u);
        EXPECT_NE(fir, 0u);
        return fir;
    }

    std::string TextOf(NBioAPI_FIR_HANDLE fir) {
        NBioAPI_FIR_TEXTENCODE text{};
        EXPECT_EQ(sim.GetExtendedTextFIRFromHandle(handle, fir, &text, 0, NBioAPI_TEXTFIR_FORMAT_EXTENDED), 0u);
        const std::string copy = text.TextFIR ? text.TextFIR : "";
        EXPECT_EQ(sim.FreeTextFIR(handle, &text), 0u);
        return copy;
    }

    NBioAPI_RETURN Verify(const NBioAPI_INPUT_FIR& stored, NBioAPI_BOOL* result) {
        const VerifyStart start = sim.BeginVerify(handle, &stored, result, -1, nullptr);
        if (start.capture.error != 0) return start.capture.error;
        return sim.FinishVerify(handle, start, &stored, result, nullptr, nullptr);
    }

    static NBioAPI_INPUT_FIR ByHandle(NBioAPI_FIR_HANDLE* fir) {
        NBioAPI_INPUT_FIR input{};
        input.Form = NBioAPI_FIR_FORM_HANDLE;
        input.InputFIR.FIRinBSP = fir;
        return input;
    }

    static NBioAPI_INPUT_FIR ByText(NBioAPI_FIR_TEXTENCODE* text) {
        NBioAPI_INPUT_FIR input{};
        input.Form = NBioAPI_FIR_FORM_TEXTENCODE;
        input.InputFIR.TextFIR = text;
        return input;
    }

    void ExpectNothingLeft() {
        const NBioSimCounters c = sim.Counters();
        EXPECT_EQ(c.firHandles, 0);
        EXPECT_EQ(c.textFirs, 0);
        EXPECT_EQ(c.exports, 0);
    }

    Simulator sim{nullptr};
    NBioAPI_HANDLE handle = 0;
};

}  // namespace nbiosim
