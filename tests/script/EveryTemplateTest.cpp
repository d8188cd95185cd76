#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/CliKit.h"

// One recorded game whose rules hold every fact id from 0 to 112 and every action id from 0 to 58,
// in id order, eight facts and four actions to a rule. Its script, checked by hand, is
// tests/data/every_template.per.
namespace {

using testkit::Action;
using testkit::Fact;
using testkit::MakeRule;
using enum cli::ExitStatus;

const std::vector<std::string> kStrings = {
    "hello", "", "say \"gg\"", "100% %s %d", "C:\\AI\\", "tab\there", "Velkorin", "v@velkorin.invalid", "2.0",
};

std::vector<testkit::RuleSpec> Rules() {
  return {
      MakeRule({Fact(0, 1, 2, 3, 4), Fact(1, 1, 2, 3, 4), Fact(2, 1, 2, 3, 4), Fact(3, 0, 5), Fact(4, 1, 2),
                Fact(5, 12), Fact(6, 6, 5), Fact(7, 2, 20)},
               {Action(0, 0, 7), Action(1, -101, 31), Action(2, 1, 2, 3, 4), Action(3, 109)}),
      MakeRule({Fact(8, 68, 3, 1), Fact(9, -398, 4, 0), Fact(10, 82), Fact(11, 2, 155), Fact(12, 101), Fact(13, 4),
                Fact(14, 9), Fact(15, 3)},
               {Action(4, 79), Action(5, 2), Action(6, 1, 72), Action(7, 2)}),
      MakeRule({Fact(16, 1), Fact(17, 2, 117), Fact(18, 3, -399), Fact(19, 276), Fact(20, 3), Fact(21, 104),
                Fact(22, 280), Fact(23, 1)},
               {Action(8, 1, 100), Action(9, 0), Action(10, 101), Action(11, 10, 20)}),
      MakeRule({Fact(24, 9, 9, 9, 9), Fact(25), Fact(26, 83), Fact(27, -287), Fact(28, -201, 2, 3),
                Fact(29, -205, 79, 0, 4), Fact(30, 1, 5, 0), Fact(31, -106, -264, 3, 2)},
               {Action(12, 1), Action(13, 2), Action(14, 7), Action(15, 1, 5)}),
      MakeRule({Fact(32), Fact(33, 8), Fact(34, 4, -1), Fact(35, 0, 4, 50), Fact(36, 3, 1, 20), Fact(37, 4, 102),
                Fact(38, 3, 102), Fact(39, 2, 1000)},
               {Action(16, 3), Action(17, 8), Action(18, 2, 6), Action(19, 4)}),
      MakeRule({Fact(40), Fact(41, 0, 10), Fact(42, 5, 0), Fact(43, 1, 2), Fact(44, 4), Fact(45, 1, 2, 10), Fact(46),
                Fact(47)},
               {Action(20, 9), Action(21, 3, 7), Action(22, -101, 0), Action(23, 3, 12)}),
      MakeRule({Fact(48, 2, 3, 200), Fact(49, 0, 5), Fact(50, 3, 500), Fact(51, 2, 600), Fact(52, 1, 4, 0),
                Fact(53, 1, -1), Fact(54, 0, 100), Fact(55, 1, 5)},
               {Action(24, -108, 5, 6), Action(25, 1), Action(26, 2, 0), Action(27, 45)}),
      MakeRule({Fact(56, 2, 0), Fact(57, 2), Fact(58, 9), Fact(59, 3, 40), Fact(60, 111), Fact(61, -111), Fact(62, 2),
                Fact(63, 101)},
               {Action(28, 13), Action(29, 4), Action(30, 1, 2, 3, 4), Action(31, 2)}),
      MakeRule({Fact(64, -106), Fact(65, 8), Fact(66, 1, 2, 0, 3), Fact(67, -203, 3, 10), Fact(68, -203, 82, 2, 0),
                Fact(69, -106, 8), Fact(70, 2, 3, 30), Fact(71, -203, 3, 103)},
               {Action(32), Action(33, 5), Action(34, 1, 600), Action(35, 2)}),
      MakeRule({Fact(72, -101, 2, 101), Fact(73, -203, 1, 5), Fact(74, 3, 4, 75), Fact(75, -106, 2, 500),
                Fact(76, -101, 0), Fact(77, 2, 1, 3, 100), Fact(78, -101, 3, 2, 50), Fact(79, -205, 0, 20)},
               {Action(36, 100), Action(37, 5), Action(38, 12), Action(39, 3)}),
      MakeRule({Fact(80, -203, -287, 2, 5), Fact(81, 3, 50), Fact(82, 4, 200), Fact(83, 2, 0), Fact(84, 0, 50),
                Fact(85), Fact(86, 103), Fact(87, 22)},
               {Action(40, 213), Action(41), Action(42, 0), Action(43, 6)}),
      MakeRule({Fact(88, 2), Fact(89, 3, -7), Fact(90), Fact(91, 0, 20), Fact(92, -101, 1), Fact(93, 4, 104),
                Fact(94, 4, 1), Fact(95, 3, 650)},
               {Action(44, 7), Action(45, 8), Action(46, 0, 50), Action(47, 1)}),
      MakeRule({Fact(96, 198, 4, 0), Fact(97, -101, 31), Fact(98, 1), Fact(99), Fact(100, 832), Fact(101, 1, 100),
                Fact(102, 0, 120), Fact(103, -299, 3, 10)},
               {Action(48, 0, 20), Action(49, 1, 2), Action(50, 1, 2), Action(51, 3)}),
      MakeRule({Fact(104, 83, 2, 40), Fact(105, 1), Fact(106, 2, 3, 100), Fact(107, 1, 0, 50), Fact(108, 2, 3),
                Fact(109, 7, 100), Fact(110, 1, 2, 3, 4), Fact(111)},
               {Action(52, -106, 3), Action(53, 200, -1), Action(54), Action(55, 32, 9)}),
      MakeRule({Fact(112)}, {Action(56, 10, 20), Action(57, 448), Action(58, 2, 100, 0)}),
  };
}

TEST(EveryTemplate, ExtractsToTheCheckedInScript) {
  testkit::ScratchDir dir;
  testkit::WriteFile(dir.Path() / "every.mgx", testkit::BuildRecGame({.strings = kStrings, .rules = Rules()}));
  const testkit::CliRun run = testkit::RunCli({"extract", dir.File("every.mgx"), "-o", dir.File("every.per")});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(testkit::ReadText(dir.Path() / "every.per"),
            testkit::ReadText(std::filesystem::path(VELKORIN_TEST_DATA_DIR) / "every_template.per"));
}

}  // namespace
