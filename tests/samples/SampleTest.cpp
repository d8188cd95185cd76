#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/Cli.h"
#include "script/AiScript.h"
#include "samples/SampleScript.h"
#include "tests/testkit/RecGameBuilder.h"

namespace {

// The checked-in sample must be what its generator makes today; otherwise run make_sample.
TEST(Sample, HoldsTheScriptItsGeneratorMakes) {
  testkit::ScratchDir dir;
  CAiScript script;
  ASSERT_EQ(script.LoadRecGame(dir.CopyIn(std::filesystem::path(VELKORIN_SAMPLES_DIR) / "sample.mgx", "sample.mgx")),
            ReadResult::kOk);
  const std::vector<uint8_t> expected = testkit::BuildHeader(SampleSection());
  EXPECT_TRUE(std::equal(script.Header().begin(), script.Header().end(), expected.begin(), expected.end()));
  ASSERT_EQ(script.ParseAi(), ReadResult::kOk);
  EXPECT_EQ(script.StringTable(), SampleSection().strings);
  EXPECT_EQ(script.Rules().size(), SampleSection().rules.size());
}

// The bundled sample's script, checked by hand, is what the command line writes on every system.
TEST(Sample, ExtractsToTheCheckedInScript) {
  testkit::ScratchDir dir;
  const std::filesystem::path samples(VELKORIN_SAMPLES_DIR);
  std::ostringstream out;
  std::ostringstream err;
  ASSERT_EQ(RunVelkorin({"extract", dir.CopyIn(samples / "sample.mgx", "sample.mgx"), "-o", dir.File("sample.per")}, out,
                        err),
            kExitOk)
      << err.str();
  EXPECT_TRUE(testkit::ReadFile(dir.Path() / "sample.per") == testkit::ReadFile(samples / "sample.per"));
}

}  // namespace
