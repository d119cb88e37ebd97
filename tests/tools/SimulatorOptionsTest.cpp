#include <gtest/gtest.h>

#include "SimulatorOptions.h"

TEST(SimulatorOptions, DllAndScriptWithEveryOption) {
    const ParsedOptions parsed = parseOptions(
        {"--settings", "C:\\settings", "plugin.dll", "--wait-ms", "2500", "talk.txt", "--prefs"});
    ASSERT_EQ(parsed.error, "");
    const SimulatorOptions& options = parsed.options;
    EXPECT_EQ(options.dllPath, "plugin.dll");
    EXPECT_EQ(options.scriptPath, "talk.txt");
    EXPECT_TRUE(options.playScript);
    EXPECT_EQ(options.settingsDirectory, "C:\\settings\\");
    EXPECT_TRUE(options.showPrefs);
    EXPECT_EQ(options.waitMs, 2500u);
}

TEST(SimulatorOptions, StandardInputUnlessPrefsAloneAreAsked) {
    const SimulatorOptions dash = parseOptions({"plugin.dll", "-"}).options;
    EXPECT_TRUE(dash.playScript);
    EXPECT_EQ(dash.scriptPath, "");
    EXPECT_TRUE(parseOptions({"plugin.dll"}).options.playScript);
    EXPECT_FALSE(parseOptions({"--prefs", "plugin.dll"}).options.playScript);
    EXPECT_TRUE(parseOptions({"--prefs", "plugin.dll", "-"}).options.playScript);
}

TEST(SimulatorOptions, FaultsAreNamed) {
    EXPECT_EQ(parseOptions({}).error, "no DLL given");
    EXPECT_EQ(parseOptions({"a.dll", "b.txt", "c.txt"}).error, "too many arguments: c.txt");
    EXPECT_EQ(parseOptions({"a.dll", "--settings"}).error, "--settings needs a value");
    EXPECT_EQ(parseOptions({"a.dll", "--verbose"}).error, "unknown option --verbose");
    for (const char* wait : {"soon", "-5", "600001", ""}) {
        EXPECT_NE(parseOptions({"a.dll", "--wait-ms", wait}).error, "") << wait;
    }
}
