#include <gtest/gtest.h>

#include <filesystem>

#include "recgame/AiScript.h"
#include "samples/SampleScript.h"
#include "tests/testkit/RecGameBuilder.h"

namespace {

// The checked-in sample must be what its generator makes today; otherwise run make_sample.
TEST(Sample, HoldsTheScriptItsGeneratorMakes) {
  testkit::ScratchDir dir;
  std::filesystem::copy_file(std::filesystem::path(VELKORIN_SAMPLES_DIR) / "sample.mgx", dir.Path() / "sample.mgx");
  CAiScript script;
  ASSERT_EQ(script.LoadRecGame(dir.File("sample.mgx")), kResultOk);
  const std::vector<uint8_t> expected = testkit::BuildHeader(SampleSection());
  EXPECT_TRUE(std::equal(script.Header().begin(), script.Header().end(), expected.begin(), expected.end()));
  ASSERT_EQ(script.ParseAi(), kResultOk);
  EXPECT_EQ(script.StringTable(), SampleSection().strings);
  EXPECT_EQ(script.Rules().size(), SampleSection().rules.size());
}

}  // namespace
