#include "faces_fixture.h"

#include <cstdlib>
#include <vector>

#include "bio_status.h"
#include "client_command.h"

std::string BridgeName(const ::testing::TestParamInfo<const FacesBridge*>& instance) {
    const std::string library = instance.param->library;
    return library.substr(library.find('_') + 1, 4);
}

void FacesTest::SetUp() {
    m_library = LoadLibraryA(bridge().library);
    ASSERT_NE(m_library, nullptr) << bridge().library << " error " << GetLastError();
    bridge().resetReader();
}

void FacesTest::TearDown() {
    EXPECT_TRUE(bridge().readerIdle()) << "an SDK session or object was left open";
    EXPECT_EQ(jni.outstandingChars(), 0u) << "characters of a Java string were not given back";
    if (m_library) FreeLibrary(m_library);
}

std::string FacesTest::fkCapture() {
    char* text = Export<char* (*)(const char*, int32_t)>(m_library, "FK_Capture")(nullptr, 1);
    const std::string captured = text ? text : "<null>";
    std::free(text);
    return captured;
}

std::string FacesTest::fkVerifyServer() {
    char* text = Export<char* (*)()>(m_library, "FK_VerifyServer")();
    const std::string captured = text ? text : "<null>";
    std::free(text);
    return captured;
}

int32_t FacesTest::fkVerifyMatch(const char* tpStored, const char* stored, const char* tpVerify, const char* verify,
                                 std::string* message) {
    using VerifyMatch = int32_t (*)(const char*, const char*, const char*, const char*, BioStatus*);
    BioStatus status{};
    const int32_t result =
        Export<VerifyMatch>(m_library, "FK_VerifyMatch")(tpStored, stored, tpVerify, verify, &status);
    *message = status.message ? status.message : "<no buffer>";
    Export<void (*)(char*)>(m_library, "FK_FreeText")(status.message);
    return result;
}

int32_t FacesTest::exec(std::string* line, std::string* result, int32_t* length) {
    using Exec = int32_t (*)(int32_t, char*, int32_t, char*, int32_t*);
    std::vector<char> command(line->begin(), line->end());
    command.push_back('\0');
    std::vector<char> room(kClientResultRoom + 1, '~');
    const int32_t returned = Export<Exec>(m_library, "ExecInClientDLL")(7, command.data(), -2, room.data(), length);
    EXPECT_EQ(room.back(), '~') << "nothing past the room a client provides";
    line->assign(command.begin(), command.end() - 1);
    const size_t written = *length >= 0 ? static_cast<size_t>(*length) : 0;
    result->assign(room.data(), std::min(written, room.size()));
    EXPECT_TRUE(written >= room.size() || room[written] == '~') << "the result text is copied without NUL";
    return returned;
}
