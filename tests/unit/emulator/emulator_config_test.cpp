// The emulator's start-up settings as the environment gives them.
#include "emulator/directoutput/emulator_config.h"

#include <gtest/gtest.h>

namespace emu {
namespace {

EmulatorConfig Parse(const EnvironmentValues& env, std::vector<std::string>* problems = nullptr) {
  std::vector<std::string> local;
  return ParseConfig(env, problems ? *problems : local);
}

TEST(EmulatorConfig, PanelsWithTypesAndBlanks) {
  EnvironmentValues env;
  env.panels = " A1 , B2:other ,C3:fip";
  const EmulatorConfig config = Parse(env);
  ASSERT_EQ(config.panels.size(), 3u);
  EXPECT_EQ(config.panels[0].serial, "A1");
  EXPECT_EQ(config.panels[0].type, "fip");
  EXPECT_EQ(config.panels[1].serial, "B2");
  EXPECT_EQ(config.panels[1].type, "other");
  EXPECT_EQ(config.panels[2].type, "fip");
}

TEST(EmulatorConfig, BadPanelsAreSkippedAndNamed) {
  EnvironmentValues env;
  env.panels = "A1,A1,B2:gadget,:fip,C 3,D4";
  std::vector<std::string> problems;
  const EmulatorConfig config = Parse(env, &problems);
  ASSERT_EQ(config.panels.size(), 2u);
  EXPECT_EQ(config.panels[0].serial, "A1");
  EXPECT_EQ(config.panels[1].serial, "D4");
  EXPECT_EQ(problems.size(), 4u);
}

TEST(EmulatorConfig, CountNamesPanelsInOrderAndPanelsWin) {
  EnvironmentValues env;
  env.count = "3";
  EmulatorConfig config = Parse(env);
  ASSERT_EQ(config.panels.size(), 3u);
  EXPECT_EQ(config.panels[0].serial, "EMU0001");
  EXPECT_EQ(config.panels[2].serial, "EMU0003");
  env.panels = "X";
  config = Parse(env);
  ASSERT_EQ(config.panels.size(), 1u);
  EXPECT_EQ(config.panels[0].serial, "X");
  env = {};
  env.count = "many";
  std::vector<std::string> problems;
  EXPECT_TRUE(Parse(env, &problems).panels.empty());
  EXPECT_EQ(problems.size(), 1u);
}

TEST(EmulatorConfig, FaultsOnceAlwaysAndMalformed) {
  EnvironmentValues env;
  env.faults = "Initialize=0x80004005; Enumerate=0x8007000E:always;SetImage=-2147467259:once;"
               "Bogus=1;AddPage;RemovePage=0x1:sometimes";
  std::vector<std::string> problems;
  const EmulatorConfig config = Parse(env, &problems);
  ASSERT_EQ(config.faults.size(), 3u);
  EXPECT_EQ(config.faults[0].call, "Initialize");
  EXPECT_EQ(config.faults[0].result, static_cast<int32_t>(0x80004005u));
  EXPECT_FALSE(config.faults[0].always);
  EXPECT_TRUE(config.faults[1].always);
  EXPECT_EQ(config.faults[2].result, static_cast<int32_t>(0x80004005u));
  EXPECT_EQ(problems.size(), 3u);
}

TEST(EmulatorConfig, SwitchesAndDelay) {
  EnvironmentValues env;
  env.typeFails = "A, B";
  env.inactiveRefuses = "1";
  env.setImageDelay = "0x20";
  EmulatorConfig config = Parse(env);
  EXPECT_EQ(config.typeFails, (std::vector<std::string>{"A", "B"}));
  EXPECT_TRUE(config.inactiveRefuses);
  EXPECT_EQ(config.setImageDelayMs, 32u);
  env.inactiveRefuses = "yes";
  env.setImageDelay = "-5";
  std::vector<std::string> problems;
  config = Parse(env, &problems);
  EXPECT_FALSE(config.inactiveRefuses);
  EXPECT_EQ(config.setImageDelayMs, 0u);
  EXPECT_EQ(problems.size(), 1u);
}

TEST(EmulatorConfig, Numbers) {
  EXPECT_EQ(ParseUnsigned("4294967295"), 4294967295u);
  EXPECT_FALSE(ParseUnsigned("4294967296"));
  EXPECT_FALSE(ParseUnsigned("0x"));
  EXPECT_FALSE(ParseUnsigned("12a"));
  EXPECT_EQ(ParseResultCode("0xFF04006F"), static_cast<int32_t>(0xFF04006Fu));
  EXPECT_EQ(ParseResultCode("-1"), -1);
  EXPECT_FALSE(ParseResultCode("-"));
  EXPECT_EQ(CountedSerial(12), "EMU0012");
}

}  // namespace
}  // namespace emu
