#include "recording_jni_env.h"

#include <cstdint>
#include <cstring>

RecordingJniEnv::RecordingJniEnv() {
    m_table.GetVersion = GetVersion;
    m_table.NewStringUTF = NewStringUTF;
    m_table.GetStringUTFChars = GetStringUTFChars;
    m_table.ReleaseStringUTFChars = ReleaseStringUTFChars;
    m_holder.env.functions = &m_table;
    m_holder.owner = this;
}

jstring RecordingJniEnv::javaString(const std::string& text) {
    m_strings.push_back(text);
    return Handle(m_strings.size() - 1);
}

std::optional<size_t> RecordingJniEnv::indexOf(jstring string) const {
    const auto id = reinterpret_cast<uintptr_t>(string);
    if (id == 0 || id > m_strings.size()) return std::nullopt;
    return static_cast<size_t>(id - 1);
}

std::optional<std::string> RecordingJniEnv::textOf(jstring string) const {
    const std::optional<size_t> index = indexOf(string);
    if (!index) return std::nullopt;
    return m_strings[*index];
}

jint JNICALL RecordingJniEnv::GetVersion(JNIEnv* env) {
    RecordingJniEnv& self = Owner(env);
    self.m_calls.push_back("GetVersion");
    return self.m_version;
}

jstring JNICALL RecordingJniEnv::NewStringUTF(JNIEnv* env, const char* text) {
    RecordingJniEnv& self = Owner(env);
    self.m_calls.push_back(std::string("NewStringUTF(") + (text ? text : "<null>") + ")");
    return text ? self.javaString(text) : nullptr;
}

const char* JNICALL RecordingJniEnv::GetStringUTFChars(JNIEnv* env, jstring string, jboolean* isCopy) {
    RecordingJniEnv& self = Owner(env);
    const std::optional<size_t> index = self.indexOf(string);
    self.m_calls.push_back("GetStringUTFChars(#" + (index ? std::to_string(*index + 1) : std::string("?")) + ")");
    if (!index || (self.m_failChars > 0 && --self.m_failChars == 0)) return nullptr;
    if (isCopy) *isCopy = JNI_TRUE;
    const std::string& text = self.m_strings[*index];
    char* chars = new char[text.size() + 1];
    std::memcpy(chars, text.c_str(), text.size() + 1);
    self.m_handedOut.insert({*index, chars});
    return chars;
}

void JNICALL RecordingJniEnv::ReleaseStringUTFChars(JNIEnv* env, jstring string, const char* chars) {
    RecordingJniEnv& self = Owner(env);
    const std::optional<size_t> index = self.indexOf(string);
    const std::string name = "#" + (index ? std::to_string(*index + 1) : std::string("?"));
    if (!index || self.m_handedOut.erase({*index, chars}) == 0) {
        self.m_calls.push_back("ReleaseStringUTFChars(" + name + ", foreign)");
        return;
    }
    delete[] chars;
    self.m_calls.push_back("ReleaseStringUTFChars(" + name + ")");
}
