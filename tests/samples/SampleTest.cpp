#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "samples/SampleScript.h"
#include "extraction/AiScript.h"
#include "tests/cli/CliKit.h"

namespace {

using enum cli::ExitStatus;
// The checked-in sample must be what its generator makes today, otherwise run make_sample; and its
// script, checked by hand, is what the command line writes on every system.
TEST(Sample, HoldsWhatItsGeneratorMakesAndExtractsToTheCheckedInScript) {
  testkit::ScratchDir dir;
  const std::filesystem::path samples(VELKORIN_SAMPLES_DIR);
  const std::string game = dir.CopyIn(samples / "sample.mgx", "sample.mgx");
  extraction::CAiScript script;
  ASSERT_EQ(script.LoadRecGame(game), recgame::ReadResult::kOk);
  EXPECT_TRUE(std::ranges::equal(script.Header(), testkit::BuildHeader(SampleSection())));
  const testkit::CliRun run = testkit::RunCli({"extract", game, "-o", dir.File("sample.per")});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_TRUE(testkit::ReadFile(dir.Path() / "sample.per") == testkit::ReadFile(samples / "sample.per"));
}

}  // namespace
