#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "script/AiScript.h"
#include "tests/testkit/RecGameBuilder.h"

// Speed of the extraction stages on a script as large as later game patches write (6,000 rules
// of nested facts and actions), and on the real recorded games of the corpus when it is there.
namespace {

using namespace testkit;

AiSectionSpec LargeScript() {
  AiSectionSpec section;
  for (int i = 0; i < 100; ++i) section.strings.push_back("Chat line number " + std::to_string(i));
  for (int r = 0; r < 6000; ++r) {
    section.rules.push_back(MakeRule({Operator(kAnd), Fact(6, 3, r % 50), Operator(kNot), Fact(87, 22)},
                                     {Action(57, 83), Action(53, 0, 30), Action(13, r % 100), Action(30)}));
  }
  return section;
}

class PipelineFixture {
 public:
  explicit PipelineFixture(const std::filesystem::path& source) {
    m_path = m_dir.CopyIn(source, "game" + source.extension().string());
  }
  explicit PipelineFixture(const AiSectionSpec& section) {
    m_path = m_dir.File("game.mgx");
    WriteFile(m_path, BuildRecGame(section));
  }
  const std::string& Path() const { return m_path; }
  std::string Output() const { return m_dir.File("out.per"); }

 private:
  ScratchDir m_dir;
  std::string m_path;
};

// Runs the stages up to `stage` (0 load, 1 parse, 2 write) once per iteration; a stage that fails
// ends the benchmark, since its timings would measure something else.
void RunStage(benchmark::State& state, const PipelineFixture& fixture, int stage) {
  for (auto _ : state) {
    CAiScript script;
    if (script.LoadRecGame(fixture.Path()) != ReadResult::kOk) {
      state.SkipWithError("load failed");
      break;
    }
    if (stage >= 1 && script.ParseAi() != ReadResult::kOk) {
      state.SkipWithError("parse failed");
      break;
    }
    if (stage >= 2 && script.WritePer(fixture.Output()) != WriteResult::kOk) {
      state.SkipWithError("write failed");
      break;
    }
    benchmark::DoNotOptimize(script);
  }
}

void BM_LargeScript_Load(benchmark::State& state) { RunStage(state, PipelineFixture(LargeScript()), 0); }
void BM_LargeScript_LoadParse(benchmark::State& state) { RunStage(state, PipelineFixture(LargeScript()), 1); }
void BM_LargeScript_Extract(benchmark::State& state) { RunStage(state, PipelineFixture(LargeScript()), 2); }

void BM_Corpus_Extract(benchmark::State& state, const char* file) {
  const std::filesystem::path source = std::filesystem::path(VELKORIN_CORPUS_DIR) / file;
  if (!std::filesystem::exists(source)) {
    state.SkipWithError("corpus not present");
    return;
  }
  RunStage(state, PipelineFixture(source), 2);
}

BENCHMARK(BM_LargeScript_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeScript_LoadParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeScript_Extract)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Corpus_Extract, aoc10c_with_AI, "aoc10c_with_AI.mgx")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Corpus_Extract, matchup_1v2v2, "matchup_1v2v2.mgx")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
