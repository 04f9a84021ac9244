// The script language of the simulated reader.
#include <gtest/gtest.h>

#include <string>

#include "sim_script.h"

namespace nbiosim {
namespace {

TEST(Script, DefaultsSucceedWithFingerOne) {
    SimSettings s;
    EXPECT_EQ(s.init.Take(), 0u);
    EXPECT_EQ(s.capture.Take(), 0u);
    EXPECT_EQ(s.finger.Take(), 1u);
    EXPECT_EQ(s.delayMs, 0u);
    EXPECT_FALSE(s.block);
    EXPECT_FALSE(s.timeoutMs);
}

TEST(Script, ListsAreUsedInOrderAndTheLastValueStays) {
    SimSettings s;
    ASSERT_TRUE(ApplyScript("capture=0,515,0x204", s));
    EXPECT_EQ(s.capture.Take(), 0u);
    EXPECT_EQ(s.capture.Take(), 515u);
    EXPECT_EQ(s.capture.Take(), 0x204u);
    EXPECT_EQ(s.capture.Take(), 0x204u);
}

TEST(Script, EveryKeyIsUnderstood) {
    SimSettings s;
    ASSERT_TRUE(
        ApplyScript("init=1;open=260;textfir=2;freetext=3;tofdx=4;fromfdx=5;verify=12;verifymatch=6;capture=261;"
                    "finger=10;delay=250;block=1;timeout=40;cancel=300",
                    s));
    EXPECT_EQ(s.init.Take(), 1u);
    EXPECT_EQ(s.open.Take(), 260u);
    EXPECT_EQ(s.textfir.Take(), 2u);
    EXPECT_EQ(s.freetext.Take(), 3u);
    EXPECT_EQ(s.tofdx.Take(), 4u);
    EXPECT_EQ(s.fromfdx.Take(), 5u);
    EXPECT_EQ(s.verify.Take(), 12u);
    EXPECT_EQ(s.verifymatch.Take(), 6u);
    EXPECT_EQ(s.capture.Take(), 261u);
    EXPECT_EQ(s.finger.Take(), 10u);
    EXPECT_EQ(s.delayMs, 250u);
    EXPECT_TRUE(s.block);
    ASSERT_TRUE(s.timeoutMs);
    EXPECT_EQ(*s.timeoutMs, 40u);
    ASSERT_TRUE(s.cancelMs);
    EXPECT_EQ(*s.cancelMs, 300u);
}

TEST(Script, BlanksAndEmptyItemsAreIgnored) {
    SimSettings s;
    ASSERT_TRUE(ApplyScript("  finger = 2 , 3 ;; delay=\t10 ;\n", s));
    EXPECT_EQ(s.finger.Take(), 2u);
    EXPECT_EQ(s.finger.Take(), 3u);
    EXPECT_EQ(s.delayMs, 10u);
    EXPECT_TRUE(ApplyScript("", s));
    EXPECT_TRUE(ApplyScript(" ; ", s));
}

TEST(Script, AppliesOnTopOfEarlierSettings) {
    SimSettings s;
    ASSERT_TRUE(ApplyScript("finger=4;delay=30", s));
    ASSERT_TRUE(ApplyScript("capture=2", s));
    EXPECT_EQ(s.finger.Take(), 4u);
    EXPECT_EQ(s.delayMs, 30u);
    EXPECT_EQ(s.capture.Take(), 2u);
    ASSERT_TRUE(ApplyScript("block=0", s));
    EXPECT_FALSE(s.block);
}

TEST(Script, MalformedScriptsChangeNothing) {
    const char* bad[] = {
        "fingers=1",       "capture",           "capture=",        "capture=1,",  "capture=,1",
        "capture=-1",      "capture=0x",        "capture=0xG",     "capture=12a", "delay=1,2",
        "block=2",         "finger=0",          "finger=11",       "finger=1,0",  "=5",
        "init=4294967296", "delay=99999999999", "delay=5;bogus=1", "Capture=1",   "cancel=-1",
    };
    for (const char* script : bad) {
        SimSettings s;
        ASSERT_TRUE(ApplyScript("delay=7;finger=2", s));
        EXPECT_FALSE(ApplyScript(script, s)) << script;
        EXPECT_EQ(s.delayMs, 7u) << script;
        EXPECT_EQ(s.finger.Take(), 2u) << script;
        EXPECT_EQ(s.capture.Take(), 0u) << script;
    }
}

TEST(Script, LargestCodeIsAccepted) {
    SimSettings s;
    ASSERT_TRUE(ApplyScript("verify=4294967295;tofdx=0xFFFFFFFF", s));
    EXPECT_EQ(s.verify.Take(), 0xFFFFFFFFu);
    EXPECT_EQ(s.tofdx.Take(), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace nbiosim
