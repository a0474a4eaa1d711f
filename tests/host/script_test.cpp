// The host's script grammar: what each step reads, and a clear error naming the step otherwise.
#include <gtest/gtest.h>

#include "host/script.h"

namespace {

TEST(HostScript, ReadsEveryKindOfStep) {
    std::vector<ScriptStep> steps;
    std::string error;
    ASSERT_TRUE(script_parse("install engine.wav[50]; press 5, 7\n# a comment\nevent 1,2 0x00200000;"
                             " hold 3,4 200; wait 800; install \"a;b [9] \"; install; service 12 7;"
                             " expect-indicator 1; expect-message sound not installed; frame after-press; unload",
                             &steps, &error)) << error;
    ASSERT_EQ(steps.size(), 12u);
    EXPECT_EQ(steps[0].kind, StepKind::install);
    EXPECT_EQ(steps[0].text, "engine.wav[50]");
    EXPECT_EQ(steps[1].kind, StepKind::press);
    EXPECT_EQ(steps[1].a, 5);
    EXPECT_EQ(steps[1].b, 7);
    EXPECT_EQ(steps[2].kind, StepKind::event);
    EXPECT_EQ(steps[2].c, 0x00200000);
    EXPECT_EQ(steps[3].kind, StepKind::hold);
    EXPECT_EQ(steps[3].c, 200);
    EXPECT_EQ(steps[4].a, 800);
    EXPECT_EQ(steps[5].text, "a;b [9] ");
    EXPECT_EQ(steps[6].text, "");
    EXPECT_EQ(steps[7].a, 12);
    EXPECT_EQ(steps[7].b, 7);
    EXPECT_EQ(steps[8].a, 1);
    EXPECT_EQ(steps[9].text, "sound not installed");
    EXPECT_EQ(steps[10].text, "after-press");
    EXPECT_EQ(steps[11].kind, StepKind::unload);
}

TEST(HostScript, RejectsBadStepsNamingThem) {
    const struct { const char* script; const char* error; } cases[] = {
        {"install x; jump 3", "step 2 \"jump 3\": unknown step \"jump\""},
        {"press 5", "step 1 \"press 5\": expected X,Y"},
        {"press 5,x", "step 1 \"press 5,x\": expected X,Y"},
        {"wait -1", "step 1 \"wait -1\": expected a number of at least 0"},
        {"wait", "step 1 \"wait\": expected a number of at least 0"},
        {"event 1,2", "step 1 \"event 1,2\": expected X,Y FLAGS"},
        {"kill now", "step 1 \"kill now\": takes no argument"},
        {"install \"open", "step 1 \"install \"open\": unclosed quote"},
        {"frame ../x", "step 1 \"frame ../x\": frame needs a plain NAME"},
    };
    for (const auto& c : cases) {
        std::vector<ScriptStep> steps;
        std::string error;
        EXPECT_FALSE(script_parse(c.script, &steps, &error)) << c.script;
        EXPECT_EQ(error, c.error);
    }
}

}  // namespace
