// The JNI natives of com.bio.BioApplet as a Linux library for a real JVM, over
// a scripted stand-in of a bridge's operations. The test program scripts the
// stand-in and reads what it was asked, through the natives of
// jvmtest.StandIn below.
#include <jni.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "client_faces.h"
#include "plog/Log.h"

namespace {

// key -> value as the test set it; "null" makes a text operation return none.
std::map<std::string, std::string> g_script;
std::vector<std::string> g_calls;
std::vector<std::string> g_records;

std::string Setting(const std::string& key) { return g_script[key]; }
int32_t Number(const std::string& key) { return static_cast<int32_t>(std::strtol(Setting(key).c_str(), nullptr, 10)); }
std::string Arg(const char* text) { return text ? text : "<null>"; }

char* ScriptedText(const std::string& key) {
    const std::string text = Setting(key);
    if (text == "null") return nullptr;
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

// "op,success,matched,error,'message'" and whether the whole buffer is zero.
std::string StatusText(const BioStatus* status) {
    bool zeroed = true;
    for (int i = 0; i < kBioMessageSize; ++i) zeroed = zeroed && status->message[i] == '\0';
    return std::to_string(status->operation) + "," + (status->success ? "true" : "false") + "," +
           (status->matched ? "true" : "false") + "," + std::to_string(status->error) + "," +
           (zeroed ? "zeroed" : "'" + std::string(status->message) + "'");
}

int32_t Init(uint8_t mode, BioStatus* status) {
    g_calls.push_back("FK_Init(" + std::to_string(mode) + ") status " + StatusText(status));
    return Number("init");
}
int32_t Close(int32_t flag) {
    g_calls.push_back("FK_Close(" + std::to_string(flag) + ")");
    return Number("close");
}
void SetAuthType(int32_t type) { g_calls.push_back("FK_SetAuthType(" + std::to_string(type) + ")"); }
char* Capture(const char* input, int32_t mode) {
    g_calls.push_back("FK_Capture(" + Arg(input) + "," + std::to_string(mode) + ")");
    return ScriptedText("capture");
}
char* VerifyServer() {
    g_calls.push_back("FK_VerifyServer()");
    return ScriptedText("server");
}
int32_t Verify(const char* kind, const char* stored) {
    g_calls.push_back("FK_Verify(" + Arg(kind) + "," + Arg(stored) + ")");
    return Number("verify");
}
int32_t VerifyMatch(const char* tpStored, const char* FkStored, const char* tpVerify, const char* ToVerify,
                    BioStatus* status) {
    g_calls.push_back("FK_VerifyMatch(" + Arg(tpStored) + "," + Arg(FkStored) + "," + Arg(tpVerify) + "," +
                      Arg(ToVerify) + ") status " + StatusText(status));
    // As the libraries do: a message buffer of its own takes the caller's place.
    status->message = static_cast<char*>(std::calloc(kBioMessageSize, 1));
    if (status->message) std::strncpy(status->message, Setting("message").c_str(), kBioMessageSize - 1);
    return Number("match");
}

const ClientFaceTraits kStandIn = {{Init, Close, SetAuthType, Capture, VerifyServer, Verify, VerifyMatch}, true};

// The natives' records, kept for the test program as "function: message".
struct Records : plog::IAppender {
    void write(const plog::Record& record) override {
        g_records.push_back(std::string(record.getFunc()) + ": " + record.getMessage());
    }
};

jstring Joined(JNIEnv* env, std::vector<std::string>* lines) {
    std::string text;
    for (const std::string& line : *lines) text += line + "\n";
    lines->clear();
    return env->NewStringUTF(text.c_str());
}

}  // namespace

extern "C" {

JNIEXPORT jint JNICALL JNI_OnLoad(JavaVM*, void*) {
    static Records records;
    static plog::Logger<0> logger(plog::debug);
    logger.addAppender(&records);
    InstallClientFaces(&kStandIn);
    return JNI_VERSION_1_8;
}

JNIEXPORT void JNICALL Java_jvmtest_StandIn_set(JNIEnv* env, jclass, jstring key, jstring value) {
    const char* k = env->GetStringUTFChars(key, nullptr);
    const char* v = env->GetStringUTFChars(value, nullptr);
    g_script[k] = v;
    env->ReleaseStringUTFChars(value, v);
    env->ReleaseStringUTFChars(key, k);
}

JNIEXPORT jstring JNICALL Java_jvmtest_StandIn_calls(JNIEnv* env, jclass) { return Joined(env, &g_calls); }

JNIEXPORT jstring JNICALL Java_jvmtest_StandIn_records(JNIEnv* env, jclass) { return Joined(env, &g_records); }

}  // extern "C"
