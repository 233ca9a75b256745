// The console's rules without widgets: the language a stored script type
// becomes, Browse's start and the language a chosen file gives, and what the
// four script messages do to the state and the texts.
#include "scripting/script_console.h"

#include <gtest/gtest.h>

namespace {

using scripting::ScriptConsole;

TEST(ScriptConsoleRules, ScriptTypeFitsTheEnginesAtHand) {
    struct Row {
        int stored;
        bool vb, js;
        int expected;
    } rows[] = {
        {-1, true, true, 0},   {-1, false, true, 1},  {-1, false, false, -1}, {0, true, false, 0},
        {0, false, true, 1},   {0, false, false, -1}, {1, true, false, 0},    {1, true, true, 1},
        {1, false, false, -1}, {-7, true, false, 0},  {5, false, false, 5}, // other values are kept
    };
    for (const Row& r : rows)
        EXPECT_EQ(scripting::NormalizeScriptType(r.stored, r.vb, r.js), r.expected)
            << r.stored << " vb " << r.vb << " js " << r.js;
}

TEST(ScriptConsoleRules, BrowseStartsFromPathThenSettingThenSamples) {
    EXPECT_EQ(scripting::BrowseStartPath("/a/x.js", "/b/y.vbs", "/p/"), "/a/x.js");
    EXPECT_EQ(scripting::BrowseStartPath("", "/b/y.vbs", "/p/"), "/b/y.vbs");
    EXPECT_EQ(scripting::BrowseStartPath("", "", "/p/"), "/p/samples/*.vbs");

    struct Row {
        const char* path;
        int type;
        int filter;
    } rows[] = {{"/p/samples/*.vbs", 1, 1}, {"/a/x.js", 0, 2}, {"/a/x.JS", 0, 1},
                {"/a/x.txt", 1, 2},         {"/a.d/x", -1, 0}, {"/a/x.vbs.bak", 0, 1}};
    for (const Row& r : rows)
        EXPECT_EQ(scripting::BrowseFilterIndex(r.path, r.type), r.filter) << r.path;
}

TEST(ScriptConsoleRules, ChosenFileDecidesTheLanguage) {
    struct Row {
        const char* chosen;
        int filter, type, expected;
    } rows[] = {
        {"/s/a.vbs", 2, 1, 0},
        {"/s/a.js", 1, 0, 1},
        // Compared with case: VBS is not vbs, so the filter decides.
        {"/s/a.VBS", 2, 0, 1},
        {"/s/a.VBS", 1, 1, 0},
        {"/s/a.VBS", 3, 1, 1},
        {"/s/a.txt", 3, 0, 0},
        {"/s/noext", 2, 0, 0},
        {"/s.d/noext", 1, 1, 1},
    };
    for (const Row& r : rows)
        EXPECT_EQ(scripting::ScriptTypeForChoice(r.chosen, r.filter, r.type), r.expected)
            << r.chosen << " filter " << r.filter;
}

TEST(ScriptConsoleState, MessagesDriveStateAndTexts) {
    ScriptConsole none(-1);
    EXPECT_EQ(none.state(), ScriptConsole::State::NoEngine);
    EXPECT_FALSE(none.canBrowseOrExecute());
    EXPECT_FALSE(none.canTerminate());
    EXPECT_TRUE(none.canExit());

    ScriptConsole c(1);
    EXPECT_TRUE(c.canBrowseOrExecute());
    c.Output("old");
    c.BeginRun();
    EXPECT_EQ(c.console(), "");
    c.Enter();
    EXPECT_TRUE(c.canTerminate());
    EXPECT_FALSE(c.canExit());
    EXPECT_FALSE(c.canBrowseOrExecute());
    EXPECT_EQ(c.status(), "The script engine is executing script code...");
    for (const char* line : {"1\r\n", "2\r\n", "3\r\n"})
        c.Output(line);
    EXPECT_EQ(c.console(), "1\r\n2\r\n3\r\n");
    c.Leave();
    EXPECT_TRUE(c.canExit());
    EXPECT_EQ(c.status(), "The script engine has returned from executing.");

    // A set-up failure: the text without a line break, then Idle.
    c.BeginRun();
    c.Error("Creating the ActiveX Scripting engine failed.");
    EXPECT_EQ(c.console(), "Creating the ActiveX Scripting engine failed.");
    EXPECT_EQ(c.state(), ScriptConsole::State::Idle);

    c.Enter();
    c.Terminated();
    EXPECT_EQ(c.state(), ScriptConsole::State::Idle);
    EXPECT_EQ(c.status(), "The script execution thread has been terminated. ");
}

} // namespace
