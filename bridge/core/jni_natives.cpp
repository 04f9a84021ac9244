// The natives of com.bio.BioApplet: Java strings in, one FK_ operation of the
// library they are linked into, a Java string out. No failure of their own
// reaches Java other than as a null string: every FK_ failure travels inside
// the text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bio_status.h"
#include "client_faces.h"
#include "com_bio_BioApplet.h"
#include "failure.h"
#include "plog/Log.h"

static_assert(sizeof(jint) == 4 && sizeof(jlong) == 8 && sizeof(jbyte) == 1, "the widths of the JNI interface");

namespace {

bool NativeRecordsWanted() {
    const ClientFaceTraits* faces = InstalledClientFaces();
    return faces && faces->nativeRecords;
}

// The debug records of one native. They carry its exported name, by which the
// log's readers know it, and only the bridge whose natives write records
// writes them. Each record is at the line of the call that writes it.
class NativeRecords {
public:
    explicit NativeRecords(const char* native) : m_native(NativeRecordsWanted() ? native : nullptr) {}

    // Whether records are written: what only a record needs is not even asked for otherwise.
    bool writing() const noexcept { return logger() != nullptr; }

    void write(const char* text, int line = __builtin_LINE()) const noexcept {
        if (plog::Logger<0>* log = logger()) *log += plog::Record(plog::debug, m_native, line) << text;
    }
    void writeNumber(const char* label, int32_t value, int line = __builtin_LINE()) const noexcept {
        if (plog::Logger<0>* log = logger()) *log += plog::Record(plog::debug, m_native, line) << label << value;
    }

private:
    plog::Logger<0>* logger() const noexcept {
        plog::Logger<0>* log = m_native ? plog::get<0>() : nullptr;
        return log && log->checkSeverity(plog::debug) ? log : nullptr;
    }

    const char* m_native;
};

const BridgeOperations& Operations() {
    const ClientFaceTraits* faces = InstalledClientFaces();
    if (!faces) throw std::logic_error("no bridge operations installed");
    return faces->operations;
}

// Private copies of a native's Java string arguments. The JVM's characters are
// given back as soon as they are copied. A null reference is an absent text.
// When the JVM cannot give a string's characters it has thrown
// OutOfMemoryError, which allows no further JNI call: the remaining strings are
// left unread, and the native calls nothing more.
class JavaTexts {
public:
    JavaTexts(JNIEnv* env, std::initializer_list<jstring> strings) {
        for (jstring string : strings) {
            if (!string) {
                m_texts.emplace_back();
                continue;
            }
            auto release = [env, string](const char* chars) { env->ReleaseStringUTFChars(string, chars); };
            const std::unique_ptr<const char, decltype(release)> chars(env->GetStringUTFChars(string, nullptr),
                                                                       release);
            if (!chars) {
                m_readable = false;
                return;
            }
            m_texts.emplace_back(chars.get());
        }
    }
    bool readable() const { return m_readable; }
    const char* operator[](size_t i) const { return m_texts.at(i) ? m_texts.at(i)->c_str() : nullptr; }

private:
    std::vector<std::optional<std::string>> m_texts;
    bool m_readable = true;
};

jstring DecimalString(JNIEnv* env, int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return env->NewStringUTF(text);
}

// A text that an FK_ operation made for its caller, handed to Java and freed;
// no text gives Java null.
jstring TakeText(JNIEnv* env, char* text) {
    const OwnedText owned(text);
    return owned ? env->NewStringUTF(owned.get()) : nullptr;
}

// "Java 1.8" for the versions a reader knows by name, "Java Version=<n>" for others.
void WriteJavaVersion(const NativeRecords& records, jint version) {
    switch (version) {
        case 0x00010004: records.write("Java 1.4"); break;
        case 0x00010006: records.write("Java 1.6"); break;
        case 0x00010007: records.write("Java 1.7"); break;
        case 0x00010008: records.write("Java 1.8"); break;
        default: records.writeNumber("Java Version=", static_cast<int32_t>(version)); break;
    }
}

}  // namespace

extern "C" {

JNIEXPORT jstring JNICALL Java_com_bio_BioApplet_FK_1Init(JNIEnv* env, jobject) {
    return CatchAll(jstring{nullptr}, [&] {
        const NativeRecords records("Java_com_bio_BioApplet_FK_1Init");
        records.write("Begin");
        OwnedStatus status(0);
        const int32_t result = Operations().initWithFreshTask(1, status.get());
        if (records.writing()) records.writeNumber("Java Version = ", static_cast<int32_t>(env->GetVersion()));
        const jstring text = DecimalString(env, result);
        records.write("End");
        return text;
    });
}

JNIEXPORT jstring JNICALL Java_com_bio_BioApplet_FK_1Close(JNIEnv* env, jobject, jint flag) {
    return CatchAll(jstring{nullptr}, [&] {
        const NativeRecords records("Java_com_bio_BioApplet_FK_1Close");
        records.write("Begin");
        const jstring text = DecimalString(env, Operations().close(static_cast<int32_t>(flag)));
        records.write("End");
        return text;
    });
}

JNIEXPORT jstring JNICALL Java_com_bio_BioApplet_FK_1Capture(JNIEnv* env, jobject) {
    return CatchAll(jstring{nullptr}, [&] {
        const NativeRecords records("Java_com_bio_BioApplet_FK_1Capture");
        records.write("Begin");
        char* captured = Operations().capture(nullptr, 1);
        if (records.writing()) WriteJavaVersion(records, env->GetVersion());
        const jstring text = TakeText(env, captured);
        records.write("End");
        return text;
    });
}

JNIEXPORT jstring JNICALL Java_com_bio_BioApplet_FK_1Verify(JNIEnv* env, jobject, jstring kind, jstring stored) {
    return CatchAll(jstring{nullptr}, [&] {
        const NativeRecords records("Java_com_bio_BioApplet_FK_1Verify");
        records.write("Begin");
        jstring text = nullptr;
        const JavaTexts args(env, {kind, stored});
        if (args.readable()) text = DecimalString(env, Operations().verify(args[0], args[1]));
        records.write("End");
        return text;
    });
}

JNIEXPORT jstring JNICALL Java_com_bio_BioApplet_FK_1VerifyServer(JNIEnv* env, jobject) {
    return CatchAll(jstring{nullptr}, [&] {
        const NativeRecords records("Java_com_bio_BioApplet_FK_1VerifyServer");
        records.write("Begin");
        const jstring text = TakeText(env, Operations().verifyServer());
        records.write("End");
        return text;
    });
}

JNIEXPORT jstring JNICALL Java_com_bio_BioApplet_FK_1VerifyMatch(JNIEnv* env, jobject, jstring tpStored,
                                                                 jstring FkStored, jstring tpVerify, jstring ToVerify) {
    return CatchAll(jstring{nullptr}, [&] {
        const NativeRecords records("Java_com_bio_BioApplet_FK_1VerifyMatch");
        records.write("Begin");
        jstring text = nullptr;
        const JavaTexts args(env, {tpStored, FkStored, tpVerify, ToVerify});
        if (args.readable()) {
            OwnedStatus status(0);
            const int32_t result = Operations().verifyMatch(args[0], args[1], args[2], args[3], status.get());
            text = env->NewStringUTF(result != 0 ? "1" : (std::string("0") + status->message).c_str());
        }
        records.write("End");
        return text;
    });
}

// A native without result has no failure form to give Java.
JNIEXPORT void JNICALL Java_com_bio_BioApplet_FK_1SetAuthType(JNIEnv*, jobject, jint authType) {
    CatchAll([] {}, [&] {
        const NativeRecords records("Java_com_bio_BioApplet_FK_1SetAuthType");
        records.write("Begin");
        Operations().setAuthType(static_cast<int32_t>(authType));
        records.write("End");
    });
}

}  // extern "C"
