// A JNI environment of our own, for calling a bridge's natives without a JVM:
// the four functions the natives may use, every call recorded. Java strings are
// handles to texts that the environment keeps.
#pragma once

#include <jni.h>

#include <deque>
#include <optional>
#include <set>
#include <string>
#include <vector>

class RecordingJniEnv {
public:
    RecordingJniEnv();
    RecordingJniEnv(const RecordingJniEnv&) = delete;
    RecordingJniEnv& operator=(const RecordingJniEnv&) = delete;

    JNIEnv* env() { return &m_holder.env; }

    // A Java string argument with this text, recorded under "#<n>" (n from 1).
    jstring javaString(const std::string& text);
    // The text of a string that NewStringUTF made; nullopt for a null reference.
    std::optional<std::string> textOf(jstring string) const;

    // What GetVersion reports (JNI 1.8 unless set).
    void setVersion(jint version) { m_version = version; }
    // The nth GetStringUTFChars call from now (1 = the next) returns null, as a
    // JVM out of memory does.
    void failGetStringUTFChars(int nth) { m_failChars = nth; }

    // Every call in order: "GetVersion", "NewStringUTF(<text>)", "GetStringUTFChars(#n)",
    // "ReleaseStringUTFChars(#n)"; a release of characters that were not handed
    // out for that string is recorded as "ReleaseStringUTFChars(#n, foreign)".
    const std::vector<std::string>& calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }
    // Characters handed out by GetStringUTFChars and not yet given back.
    size_t outstandingChars() const { return m_handedOut.size(); }

private:
    struct Holder {
        JNIEnv env;
        RecordingJniEnv* owner;
    };
    static RecordingJniEnv& Owner(JNIEnv* env) { return *reinterpret_cast<Holder*>(env)->owner; }
    static jint JNICALL GetVersion(JNIEnv* env);
    static jstring JNICALL NewStringUTF(JNIEnv* env, const char* text);
    static const char* JNICALL GetStringUTFChars(JNIEnv* env, jstring string, jboolean* isCopy);
    static void JNICALL ReleaseStringUTFChars(JNIEnv* env, jstring string, const char* chars);

    static jstring Handle(size_t index) { return reinterpret_cast<jstring>(index + 1); }
    std::optional<size_t> indexOf(jstring string) const;

    JNINativeInterface_ m_table{};
    Holder m_holder{};
    jint m_version = JNI_VERSION_1_8;
    int m_failChars = 0;
    std::deque<std::string> m_strings;
    std::set<std::pair<size_t, const char*>> m_handedOut;
    std::vector<std::string> m_calls;
};
