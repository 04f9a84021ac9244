// Hostile input through every export that takes a text or a buffer. Texts lie
// against an inaccessible page, so that reading one byte past their end
// crashes the test; output buffers likewise. Whatever comes in, no export
// crashes, reads or writes out of bounds, or answers with a match.
#include <cstring>
#include <vector>

#include "bio_status.h"
#include "client_command.h"
#include "faces_fixture.h"
#include "template_codec.h"
#include "template_text.h"

namespace {

// Bytes that end right where an inaccessible page begins.
class Guarded {
public:
    explicit Guarded(size_t size) : m_size(size) {
        const size_t page = 4096, pages = (size + page - 1) / page + 1;
        m_base = static_cast<char*>(VirtualAlloc(nullptr, pages * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old = 0;
        if (m_base) VirtualProtect(m_base + (pages - 1) * page, page, PAGE_NOACCESS, &old);
        m_data = m_base ? m_base + (pages - 1) * page - size : nullptr;
    }
    ~Guarded() {
        if (m_base) VirtualFree(m_base, 0, MEM_RELEASE);
    }
    Guarded(const Guarded&) = delete;
    Guarded& operator=(const Guarded&) = delete;
    char* data() const { return m_data; }
    size_t size() const { return m_size; }

private:
    size_t m_size;
    char* m_base = nullptr;
    char* m_data = nullptr;
};

// A text and its NUL against the page; null for the absent text.
struct GuardedText {
    explicit GuardedText(const std::string* text) : bytes(text ? text->size() + 1 : 1) {
        if (text) std::memcpy(bytes.data(), text->c_str(), text->size() + 1);
    }
    const char* get(bool absent) const { return absent ? nullptr : bytes.data(); }
    Guarded bytes;
};

// The hostile texts: (name, text); a null text is the absent one.
std::vector<std::pair<std::string, std::string>> HostileTexts(const std::string& otherBridge) {
    EXPECT_TRUE(CodecAllocateBuffers());
    std::vector<unsigned char> stream(kCodecBufferSize);
    const std::vector<unsigned char> payload(300, 'x');
    int32_t packed = 0;
    FK_Pack(payload.data(), static_cast<int32_t>(payload.size()), stream.data(), &packed);
    stream.resize(static_cast<size_t>(packed));
    std::vector<std::pair<std::string, std::string>> texts = {
        {"empty", ""},
        {"10 MB of A", std::string(10u << 20, 'A')},
        {"10 MB of 0xFF", std::string(10u << 20, '\xFF')},
        {"not Base64", "this is not Base64 at all!"},
        {"Base64 with a NUL inside", std::string("QUJD\0RUZH", 9)},
        {"a line break inside", "QUJD\nRUZH"},
        {"length not a multiple of four", "QUJDRA"},
        {"a cancelled capture", "ERROR - 999"},
        {"the other bridge's template", otherBridge},
    };
    for (const EnvelopeLayout& layout : kEnvelopeLayouts) {
        const std::string name = layout.name + std::string(" header: ");
        const int32_t length = static_cast<int32_t>(payload.size());
        for (const auto& [what, p, u] : {std::tuple{"sizes 0", 0, 0}, {"negative sizes", -1, -1},
                                          {"sizes above 5120", 5121, 5121}, {"packed size beyond the data", packed + 9, length},
                                          {"packed size short of the data", packed - 9, length},
                                          {"inflates to more than announced", packed, length - 1},
                                          {"inflates to less than announced", packed, length + 1},
                                          {"unpacked size above 5120", packed, 6000}}) {
            texts.push_back({name + what, EnvelopeText(layout, {p, u}, stream)});
        }
    }
    CodecReleaseBuffers();
    return texts;
}

class HostileInput : public FacesTest {
protected:
    void SetUp() override {
        FacesTest::SetUp();
        // Texts of the other bridge: a template of its layout.
        const bool dpfp = bridge().nativeRecords;
        ASSERT_TRUE(CodecAllocateBuffers());
        const std::vector<unsigned char> bytes(400, 'T');
        char* other = PackTemplateText(bytes.data(), 400, dpfp ? kNbioEnvelope : kDpfpEnvelope);
        ASSERT_NE(other, nullptr);
        m_texts = HostileTexts(other);
        std::free(other);
        m_stored = templateOf(1, true);
        m_live = templateOf(1, false);
        bridge().resetReader();
    }
    std::vector<std::pair<std::string, std::string>> m_texts;
    std::string m_stored, m_live;
};

using VerifyMatchFn = int32_t (*)(const char*, const char*, const char*, const char*, BioStatus*);

// FK_VerifyMatch with a hostile text as either template, under every kind of
// marker: never a match, always an error in the status.
TEST_P(HostileInput, VerifyMatchNeverMatchesAndSaysWhy) {
    const auto verifyMatch = Export<VerifyMatchFn>(library(), "FK_VerifyMatch");
    const auto freeText = Export<void (*)(char*)>(library(), "FK_FreeText");
    for (const auto& [name, text] : m_texts) {
        const GuardedText hostile(&text);
        for (const char* kind : {"Z", "N", "", static_cast<const char*>(nullptr)}) {
            for (bool asStored : {true, false}) {
                BioStatus status{};
                const int32_t r = asStored
                                      ? verifyMatch(kind, hostile.get(false), "Z", m_live.c_str(), &status)
                                      : verifyMatch("Z", m_stored.c_str(), kind, hostile.get(false), &status);
                const std::string message = status.message ? status.message : "";
                freeText(status.message);
                EXPECT_EQ(r, 0) << name << " as " << (asStored ? "stored" : "live") << " under " << (kind ? kind : "null");
                EXPECT_FALSE(status.matched) << name;
                EXPECT_NE(status.error, 0) << name << ": " << message;
                EXPECT_NE(message, "") << name;
            }
        }
    }
    // The absent text.
    EXPECT_EQ(verifyMatch("Z", nullptr, "Z", nullptr, nullptr), 0);
    EXPECT_TRUE(bridge().readerIdle());
}

// The other exports that take template texts: never a match.
TEST_P(HostileInput, NoOtherExportMatchesIt) {
    using Verify = int32_t (*)(const char*, const char*);
    using CaptureAndVerify = int32_t (*)(const char*);
    const auto verify = Export<Verify>(library(), "FK_Verify");
    const auto match = Export<Verify>(library(), "FK_Match");                           // NITGEN only
    const auto captureAndVerify = Export<CaptureAndVerify>(library(), "FK_CaptureAndVerify");  // NITGEN only
    script("finger=1");
    for (const auto& [name, text] : m_texts) {
        // The large texts cost a capture each; the window part is the same for all.
        if (text.size() > 1000000) continue;
        const GuardedText hostile(&text);
        EXPECT_EQ(verify("Z", hostile.get(false)), 0) << name;
        EXPECT_EQ(verify("N", hostile.get(false)), 0) << name;
        if (match) {
            EXPECT_EQ(match(hostile.get(false), m_live.c_str()), 0) << name;
        }
        if (captureAndVerify) {
            EXPECT_EQ(captureAndVerify(hostile.get(false)), 0) << name;
        }
    }
    EXPECT_EQ(verify("Z", nullptr), 0);
    if (match) {
        EXPECT_EQ(match(nullptr, nullptr), 0);
    }
    if (captureAndVerify) {
        EXPECT_NE(captureAndVerify(nullptr), 1);
    }
}

// The list exports: hostile texts, counts and buffer sizes. The answer stays
// inside the buffer the caller declares.
TEST_P(HostileInput, ListsCountsAndBufferSizes) {
    using Mcs = int32_t (*)(char**, int32_t, char*, int32_t);
    const auto mcs = Export<Mcs>(library(), bridge().nativeRecords ? "FK_VerifyMcsDigital" : "FK_VerifyMcsNitGen");
    ASSERT_NE(mcs, nullptr);
    std::vector<std::unique_ptr<GuardedText>> owned;
    std::vector<char*> list = {m_live.data()};
    for (const auto& [name, text] : m_texts) {
        owned.push_back(std::make_unique<GuardedText>(&text));
        list.push_back(owned.back()->bytes.data());
    }
    while (list.size() < 63) list.push_back(list.back());
    for (int32_t count : {0, 1, 2, 63, -1}) {
        for (int32_t size : {0, 1, 63, 64, 200, -1}) {
            const Guarded out(size > 0 ? static_cast<size_t>(size) : 64);
            std::memset(out.data(), 'z', out.size());
            // A list as long as the count says, so that only the library could overrun it.
            const size_t entries = count > 0 ? static_cast<size_t>(count) : 1;
            std::vector<char*> given(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(entries));
            EXPECT_EQ(mcs(given.data(), count, out.data(), size), 0) << count << " texts into " << size;
            if (size < 64) {
                EXPECT_EQ(out.data()[0], 'z') << "nothing written into " << size << " bytes";
            }
        }
    }
    EXPECT_EQ(mcs(nullptr, 5, nullptr, 100), 0);
    EXPECT_TRUE(bridge().readerIdle());
}

// The command line: every hostile text as a template field, absurd lines, and
// the result always inside the room a client provides.
TEST_P(HostileInput, CommandLinesOfEveryShape) {
    using Exec = int32_t (*)(int32_t, char*, int32_t, char*, int32_t*);
    const auto exec = Export<Exec>(library(), "ExecInClientDLL");
    std::vector<std::string> lines = {"", "\x01", std::string(5000, '\x01'), "MATCH" + std::string(5000, '\x01'),
                                      "VERIFICAR\x01", "match\x01\x01\x01", std::string(10u << 20, 'M'),
                                      "\xC3\xA9\x01\xFF\xFE", "MATCH\x01Z\x01" + std::string(10u << 20, 'A') + "\x01Z\x01" + m_live};
    for (const auto& [name, text] : m_texts) {
        if (text.size() > 1000000) continue;
        lines.push_back("MATCH\x01Z\x01" + m_stored + "\x01N\x01" + text + "\x01Z\x01" + text);
        lines.push_back("MATCH\x01N\x01" + text + "\x01Z\x01" + m_live);
    }
    for (const std::string& line : lines) {
        Guarded command(line.size() + 1);
        std::memcpy(command.data(), line.c_str(), line.size() + 1);
        Guarded result(kClientResultRoom);
        int32_t length = -7;
        const int32_t r = exec(0, command.data(), 0, result.data(), &length);
        EXPECT_TRUE(r == 1 || r == -1) << line.substr(0, 40);
        EXPECT_LE(length, kClientResultRoom);
        const std::string answer(result.data(), length > 0 ? static_cast<size_t>(length) : 0);
        EXPECT_NE(answer.rfind("1", 0), 0u) << "no match for " << line.substr(0, 40) << ": " << answer.substr(0, 60);
    }
    EXPECT_TRUE(bridge().readerIdle());
}

// The natives take Java strings of any content; the answer is never a match.
TEST_P(HostileInput, NativesAnswerNoMatch) {
    using VerifyMatch = decltype(&Java_com_bio_BioApplet_FK_1VerifyMatch);
    const auto native = Export<VerifyMatch>(library(), "Java_com_bio_BioApplet_FK_1VerifyMatch");
    for (const auto& [name, text] : m_texts) {
        const std::string answer = javaText(native(jni.env(), nullptr, jni.javaString("Z"), jni.javaString(text),
                                                   jni.javaString("Z"), jni.javaString(m_live)));
        EXPECT_EQ(answer.rfind("0", 0), 0u) << name << ": " << answer.substr(0, 60);
        EXPECT_GT(answer.size(), 1u) << name << ": the message says why";
    }
}

// A device serial never goes past the caller's 128 bytes.
TEST_P(HostileInput, DeviceSerialStaysInItsBuffer) {
    if (bridge().nativeRecords) script("devices=" + std::string(300, 'S'));
    const Guarded out(128);
    Export<int32_t (*)(char*)>(library(), "FK_DeviceSerial")(out.data());
    EXPECT_TRUE(bridge().readerIdle());
}

INSTANTIATE_TEST_SUITE_P(BothLibraries, HostileInput, ::testing::Values(&NbioFaces(), &DpfpFaces()), BridgeName);

}  // namespace
