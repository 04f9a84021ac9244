// The client faces of both bridge libraries as their callers meet them: the
// real DLL loaded by name over its simulated reader, its natives and
// ExecInClientDLL found by their exported names.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "com_bio_BioApplet.h"
#include "recording_jni_env.h"
#include "window_probe.h"

// What differs between the two libraries, as far as their faces show it.
struct FacesBridge {
    const char* library;
    // The simulated reader behind the library.
    void (*resetReader)();
    int32_t (*scriptReader)(const char* script);
    int32_t (*readerComparisons)();  // template comparisons in the SDK since the reset
    bool (*readerIdle)();            // nothing of the SDK left open
    // A packed template text of a finger: a stored one (pair 0 of a match) or
    // one to compare with it.
    std::string (*templateOf)(HMODULE library, int finger, bool stored);
    // Calls of an SDK function, by its full name, since the reset.
    int32_t (*callCount)(const char* function);
    // A script under which captures take a while but end by themselves.
    const char* slowCapture;
    // A script that makes FK_Init fail, and FK_Init's result then.
    const char* failingInit;
    const char* failedInitResult;
    // FK_Close's result without an open session, and after FK_Init.
    const char* closeWithoutSession;
    const char* closeAfterInit;
    bool nativeRecords;
    // A script under which the reader gives nothing while the window is open
    // (NITGEN: until the capture's time-out, shortened here).
    const char* heldReader;
};

const FacesBridge& NbioFaces();
const FacesBridge& DpfpFaces();

// "nbio" or "dpfp", naming a test's instance.
std::string BridgeName(const ::testing::TestParamInfo<const FacesBridge*>& instance);

// Calls `name` of `library` typed as `Function` (as declared in the generated
// JNI header, or by its C signature).
template <class Function>
Function Export(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

class FacesTest : public ::testing::TestWithParam<const FacesBridge*> {
protected:
    void SetUp() override;
    void TearDown() override;

    const FacesBridge& bridge() const { return *GetParam(); }
    void script(const std::string& text) { ASSERT_EQ(bridge().scriptReader(text.c_str()), 0) << text; }
    std::string templateOf(int finger, bool stored) { return bridge().templateOf(m_library, finger, stored); }

    template <class Function>
    Function native(const char* name) {
        const auto function = Export<Function>(m_library, name);
        EXPECT_NE(function, nullptr) << name;
        return function;
    }
    std::string javaText(jstring string) const { return jni.textOf(string).value_or("<null>"); }

    // FK_Capture and FK_VerifyServer of the library, their texts freed.
    std::string fkCapture();
    std::string fkVerifyServer();
    // FK_VerifyMatch of the library, with a status whose message it returns.
    int32_t fkVerifyMatch(const char* tpStored, const char* stored, const char* tpVerify, const char* verify,
                          std::string* message);
    // ExecInClientDLL with `line` (changed as the call changes it), leading 7
    // and trailing -2, into a result buffer of the room a client provides.
    int32_t exec(std::string* line, std::string* result, int32_t* length);

    HMODULE library() const { return m_library; }

    RecordingJniEnv jni;

private:
    HMODULE m_library = nullptr;
};

// A native of the library, found by its exported name and typed as javac
// declared it.
#define BRIDGE_NATIVE(name) native<decltype(&Java_com_bio_BioApplet_##name)>("Java_com_bio_BioApplet_" #name)

// The natives called as the JVM would, with `jni`; their results as text,
// "<null>" for null.
class NativesTest : public FacesTest {
protected:
    std::string init() { return javaText(BRIDGE_NATIVE(FK_1Init)(jni.env(), nullptr)); }
    std::string close(jint flag) { return javaText(BRIDGE_NATIVE(FK_1Close)(jni.env(), nullptr, flag)); }
    std::string capture() { return javaText(BRIDGE_NATIVE(FK_1Capture)(jni.env(), nullptr)); }
    std::string verifyServer() { return javaText(BRIDGE_NATIVE(FK_1VerifyServer)(jni.env(), nullptr)); }
    std::string verify(jstring kind, jstring stored) {
        return javaText(BRIDGE_NATIVE(FK_1Verify)(jni.env(), nullptr, kind, stored));
    }
    std::string verifyMatch(jstring tpStored, jstring FkStored, jstring tpVerify, jstring ToVerify) {
        return javaText(BRIDGE_NATIVE(FK_1VerifyMatch)(jni.env(), nullptr, tpStored, FkStored, tpVerify, ToVerify));
    }
    void setAuthType(jint type) { BRIDGE_NATIVE(FK_1SetAuthType)(jni.env(), nullptr, type); }
    jstring java(const std::string& text) { return jni.javaString(text); }
};


