#include <cstring>

#include "nbio_fixture.h"

namespace {

class NbioConnection : public NbioBridge {
protected:
    // A task as a native client of FK_Init builds it.
    struct Task {
        BioStatus status{};
        char message[kBioMessageSize] = {};
        BioTask task{};
        Task() {
            status.message = message;
            task.status = &status;
        }
    };
};

TEST_F(NbioConnection, CloseWithoutAnInstanceCallsNothing) {
    EXPECT_EQ(FK_Close(1), -1);
    EXPECT_EQ(NBioSim_CallCount("NBioAPI_Terminate"), 0);
    EXPECT_EQ(NBioSim_CallCount("NBioAPI_CloseDevice"), 0);

    Task t;
    ASSERT_EQ(FK_Init(1, &t.task), 0);
    EXPECT_EQ(FK_Close(1), 0);
    EXPECT_EQ(FK_Close(1), -1);
    EXPECT_EQ(NBioSim_CallCount("NBioAPI_Terminate"), 1);
}

TEST_F(NbioConnection, InitWithoutTheReaderNeverOpensIt) {
    Task t;
    EXPECT_EQ(FK_Init(0, &t.task), 0);
    EXPECT_EQ(NBioSim_CallCount("NBioAPI_OpenDevice"), 0);
    EXPECT_STREQ(t.message, "");
    EXPECT_EQ(FK_Close(0), 0);
}

TEST_F(NbioConnection, InitFailuresSayWhichOperationAndCode) {
    Script("open=260");
    Task opened;
    EXPECT_EQ(FK_Init(1, &opened.task), 1);
    EXPECT_STREQ(opened.message, "ERROR - Fingerprint device initialization failed, operation: '0', error: '260'");
    FK_Close(1);

    Script("open=0;init=7");
    Task withoutReader;
    EXPECT_EQ(FK_Init(0, &withoutReader.task), 1);
    EXPECT_STREQ(withoutReader.message,
                 "ERROR - Fingerprint device initialization failed, operation: '0', error: '7'");
    // With the reader to open and no instance, "not found" is the last word.
    Task withReader;
    EXPECT_EQ(FK_Init(1, &withReader.task), 1);
    EXPECT_STREQ(withReader.message, "ERROR - Fingerprint device not found");
    EXPECT_EQ(FK_Close(1), -1);
}

TEST_F(NbioConnection, AnOperationEndsTheInstanceInitLeftOpen) {
    Task t;
    ASSERT_EQ(FK_Init(1, &t.task), 0);
    const std::string text = CaptureText();
    EXPECT_EQ(text.rfind("ERROR", 0), std::string::npos) << text;
    EXPECT_EQ(FK_Close(1), -1);

    // Even a match refused for its arguments ends its connection.
    ASSERT_EQ(FK_Init(0, &t.task), 0);
    EXPECT_EQ(FK_VerifyMatch("Z", nullptr, "Z", nullptr, nullptr), 0);
    EXPECT_EQ(FK_Close(0), -1);
}

TEST_F(NbioConnection, InitAcceptsAMissingTask) {
    EXPECT_EQ(FK_Init(0, nullptr), 0);
    EXPECT_EQ(FK_Close(0), 0);
}

TEST_F(NbioConnection, DeviceSerialIsNotReported) {
    char serial[8] = "keep";
    EXPECT_EQ(FK_DeviceSerial(serial), 0);
    EXPECT_STREQ(serial, "keep");
}

TEST_F(NbioConnection, AuthTypeChoosesTheTemplateForm) {
    struct Case {
        std::vector<int32_t> settings;
        bool fdx;
    };
    const Case cases[] = {{{2}, true}, {{2, 7}, false}, {{2, 3}, true}, {{1}, false}, {{2, 1}, false}};
    for (const Case& c : cases) {
        NBioSim_Reset();
        for (int32_t type : c.settings) FK_SetAuthType(type);
        const std::string text = CaptureText();
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(text.rfind("ERROR", 0), std::string::npos) << text;
        EXPECT_EQ(NBioSim_CallCount("NBioAPI_NBioBSPToFDx"), c.fdx ? 1 : 0) << c.settings.size();
        if (c.fdx) {
            NBioSimLastCall call{};
            NBioSim_GetLastCall(&call);
            EXPECT_EQ(call.fdxFormatType, 35);
        }
        EXPECT_EQ(NBioSim_CallCount("NBioAPI_GetExtendedTextFIRFromHandle"), c.fdx ? 0 : 1);
    }
}

}  // namespace
