// The script language of the simulated DigitalPersona reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim_settings.h"

namespace dpfpsim {
namespace {

// "touch,sample@5,error:-10" reads back as "5 S0@5 1:-10".
std::string Describe(const std::vector<ScriptedEvent>& events) {
    std::string out;
    for (const ScriptedEvent& e : events) {
        if (!out.empty()) out += ' ';
        switch (e.type) {
            case ScriptedEvent::Type::kSample:
                out += 'S';
                break;
            case ScriptedEvent::Type::kNoData:
                out += 'N';
                break;
            case ScriptedEvent::Type::kHold:
                out += 'H';
                break;
            case ScriptedEvent::Type::kCancel:
                out += 'C';
                break;
            case ScriptedEvent::Type::kPlain:
                break;
        }
        out += std::to_string(e.kind);
        if (e.data != 0) out += ':' + std::to_string(e.data);
        if (e.delayMs) out += '@' + std::to_string(*e.delayMs);
        if (e.atOnce) out += "@now";
    }
    return out;
}

TEST(Script, EveryKeyIsUnderstood) {
    SimSettings s;
    ASSERT_TRUE(ApplyScript(
        "init=1;enumerate=-1;deviceinfo=-2;create=-3;start=0x80070057;bitmap=-5;fxinit=-7;fxterm=-8;mcinit=1;"
        "mcterm=-9;fxlen=-10;mclen=-11;extract=-16;generate=-17;verify=-29;created=1,0;needed=-3;prereglen=0;"
        "reglen=2147483647;verifylen=-2147483648;devices=A,B;finger=2,10;events=stop;delay=250;session=7",
        s));
    ASSERT_TRUE(s.init);
    EXPECT_EQ(s.init->Take(), 1);
    EXPECT_EQ(s.enumerate.Take(), -1);
    EXPECT_EQ(s.deviceInfo.Take(), -2);
    EXPECT_EQ(s.create.Take(), -3);
    EXPECT_EQ(s.start.Take(), static_cast<int32_t>(0x80070057u));
    EXPECT_EQ(s.bitmap.Take(), -5);
    EXPECT_EQ(s.fxInit.Take(), -7);
    EXPECT_EQ(s.fxTerminate.Take(), -8);
    EXPECT_EQ(s.mcInit.Take(), 1);
    EXPECT_EQ(s.mcTerminate.Take(), -9);
    EXPECT_EQ(s.fxLength.Take(), -10);
    EXPECT_EQ(s.mcLength.Take(), -11);
    EXPECT_EQ(s.extract.Take(), -16);
    EXPECT_EQ(s.generate.Take(), -17);
    EXPECT_EQ(s.verify.Take(), -29);
    EXPECT_EQ(s.created.Take(), 1);
    EXPECT_EQ(s.created.Take(), 0);
    EXPECT_EQ(s.needed, -3);
    EXPECT_EQ(s.preRegistrationLength, 0);
    EXPECT_EQ(s.registrationLength, INT32_MAX);
    EXPECT_EQ(s.verificationLength, INT32_MIN);
    EXPECT_EQ(s.devices, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(s.finger.Take(), 2u);
    EXPECT_EQ(s.finger.Take(), 10u);
    EXPECT_EQ(Describe(s.events), "10");
    EXPECT_EQ(s.delayMs, 250u);
    EXPECT_EQ(s.session, 7u);
}

TEST(Script, EventLists) {
    const struct {
        const char* script;
        const char* events;
    } cases[] = {
        {"events=touch,sample,gone", "5 S0 6"},
        {"events=ready@0,nodata@20,disconnect,connect@0x10,stop", "7@0 N0@20 2 3@16 10"},
        {"events=error:5,error:-10@3,error:0x80004005", "1:5 1:-10@3 1:-2147467259"},
        {"events=kind:4,kind:0x7FFF@1,kind:4294967295", "4 32767@1 4294967295"},
        {"events=sample,hold", "S0 H0"},
        {"events=touch,cancel@300,hold", "5 C0@300 H0"},
        {"events=hold", "H0"},
        {"events = touch @ 5 , sample", "5@5 S0"},
        {"events=touch@now,error:5@now,sample,hold", "5@now 1:5@now S0 H0"},
    };
    for (const auto& c : cases) {
        SimSettings s;
        ASSERT_TRUE(ApplyScript(c.script, s)) << c.script;
        EXPECT_EQ(Describe(s.events), c.events) << c.script;
    }
}

TEST(Script, InitAndDevicesKnowNone) {
    SimSettings s;
    ASSERT_TRUE(ApplyScript("fxinit=0;devices=", s));
    EXPECT_FALSE(s.init) << "DPFPInit answers by the session until init= is given";
    EXPECT_TRUE(s.devices.empty());
}

TEST(Script, MalformedScriptsChangeNothing) {
    // Grouped by what they get wrong: keys and results, numbers, lists, events.
    const std::vector<std::vector<const char*>> groups = {
        {"bogus=1", "Init=1", "init", "init=", "init=1,", "init=2147483648", "init=-0x1", "verify=1.5"},
        {"needed=", "needed=1,2", "reglen=x", "delay=-1", "delay=1,2", "session=-5", "delay=5;bogus=1"},
        {"finger=0", "finger=11", "finger=1,", "finger=-1", "devices=A,,B", "devices=,"},
        {"events=", "events=touch,", "events=tap", "events=touch:1", "events=error", "events=error:", "events=error:x"},
        {"events=kind", "events=kind:-1", "events=touch@", "events=touch@-5", "events=hold,touch", "events=hold@5"},
        {"events=sample:1@2", "events=sample@1@2", "events=error:5:6", "events=cancel:2"},
        {"events=touch,sample@now", "events=hold@now", "events=touch@Now", "events=touch@now5"},
    };
    for (const auto& group : groups) {
        for (const char* script : group) {
            SimSettings s;
            ASSERT_TRUE(ApplyScript("delay=7;finger=2;events=stop", s));
            EXPECT_FALSE(ApplyScript(script, s)) << script;
            EXPECT_EQ(s.delayMs, 7u) << script;
            EXPECT_EQ(s.finger.Take(), 2u) << script;
            EXPECT_EQ(Describe(s.events), "10") << script;
            EXPECT_FALSE(s.init) << script;
            EXPECT_EQ(s.needed, 4) << script;
        }
    }
}

}  // namespace
}  // namespace dpfpsim
