// Speed and memory of an extraction, against the floors of reading a recorded game measured in the
// same run, interleaved with it: each figure is a ratio to the design's floor (the header inflated
// through a temporary file, as the program does it) and to the in-memory floor. In process, the
// pipeline alone; as whole processes, velkorin against velkorin_floor, start-up included.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/Floor.h"
#include "recgame/Players.h"
#include "extraction/AiScript.h"
#include "extraction/GameSummary.h"
#include "tests/testkit/RecGameBuilder.h"

extern char** environ;

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

AiSectionSpec TinyScript() { return {.rules = {MakeRule({Fact(0)}, {Action(30)})}}; }

// A recorded game in a scratch folder of its own, where the program may put its files.
class Input {
 public:
  explicit Input(const std::filesystem::path& source) { m_path = m_dir.CopyIn(source, source.filename().string()); }
  explicit Input(const AiSectionSpec& section) {
    m_path = m_dir.File("game.mgx");
    WriteFile(m_path, BuildRecGame(section));
  }
  const std::string& Path() const { return m_path; }
  std::string Output() const { return m_dir.File("out.per"); }

 private:
  ScratchDir m_dir;
  std::string m_path;
};

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::vector<char*> Argv(std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  return argv;
}

// Runs a program to its end with its output thrown away; the seconds it took, or a negative number
// when it failed.
double RunProcess(std::vector<std::string> args) {
  std::vector<char*> argv = Argv(args);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  int status = -1;
  if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) waitpid(child, &status, 0);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  posix_spawn_file_actions_destroy(&actions);
  return status == 0 ? seconds : -1;
}

// The peak memory of a run of velkorin with the arguments in KiB, through velkorin_peak; 0 when the
// run failed.
long PeakKiB(std::vector<std::string> args) {
  args.insert(args.begin(), {VELKORIN_PEAK, VELKORIN_CLI});
  std::vector<char*> argv = Argv(args);
  int pipe[2];
  if (::pipe(pipe) != 0) return 0;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe[1], 1);
  pid_t child = 0;
  long peak = 0;
  if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    close(pipe[1]);
    char text[32] = {};
    if (read(pipe[0], text, sizeof text - 1) > 0) peak = std::atol(text);
    waitpid(child, nullptr, 0);
  } else {
    close(pipe[1]);
  }
  close(pipe[0]);
  posix_spawn_file_actions_destroy(&actions);
  return peak;
}

// Sums of the interleaved timings, and the ratios the benchmark reports. The program writes its
// script to a new file; replacing an existing one costs more on file systems that write a file out
// before they rename it over another (ext4 does), and is timed too.
struct Timings {
  double design = 0;
  double memory = 0;
  double program = 0;
  double replacing = 0;

  void Report(benchmark::State& state) const {
    state.counters["vs_design_floor"] = program / design;
    state.counters["vs_memory_floor"] = program / memory;
    state.counters["replacing_vs_design_floor"] = replacing / design;
  }
};

void BM_Pipeline(benchmark::State& state, const Input& input) {
  Timings timings;
  for (auto _ : state) {
    timings.design += Seconds([&] { benchmark::DoNotOptimize(RunFloor(input.Path().c_str(), Floor::kDesign)); });
    timings.memory += Seconds([&] { benchmark::DoNotOptimize(RunFloor(input.Path().c_str(), Floor::kMemory)); });
    bool ok = true;
    const auto extract = [&] {
      extraction::CAiScript script;
      ok = ok && script.LoadRecGame(input.Path()) == recgame::ReadResult::kOk &&
           script.ParseAi() == recgame::ReadResult::kOk && script.WritePer(input.Output()) == script::WriteResult::kOk;
    };
    std::filesystem::remove(input.Output());
    const double seconds = Seconds(extract);
    timings.replacing += Seconds(extract);
    if (!ok) {
      state.SkipWithError("the extraction failed");
      break;
    }
    timings.program += seconds;
    state.SetIterationTime(seconds);
  }
  timings.Report(state);
}

// Peak memory is counted above that of a run on a tiny recorded game, against what the extraction
// may take: the compressed header, the inflated header and 1 MiB.
void BM_Process(benchmark::State& state, const Input& input) {
  extraction::CAiScript script;
  if (script.LoadRecGame(input.Path()) != recgame::ReadResult::kOk) {
    state.SkipWithError("the recorded game does not load");
    return;
  }
  Timings timings;
  for (auto _ : state) {
    timings.design += RunProcess({VELKORIN_FLOOR, input.Path()});
    timings.memory += RunProcess({VELKORIN_FLOOR, "--memory", input.Path()});
    std::filesystem::remove(input.Output());
    const double seconds = RunProcess({VELKORIN_CLI, "extract", input.Path(), "-o", input.Output()});
    const double replacing = RunProcess({VELKORIN_CLI, "extract", input.Path(), "-o", input.Output()});
    if (seconds < 0 || replacing < 0) {
      state.SkipWithError("velkorin failed");
      break;
    }
    timings.program += seconds;
    timings.replacing += replacing;
    state.SetIterationTime(seconds);
  }
  timings.Report(state);

  const Input tiny(TinyScript());
  const auto peakKiB = [](const Input& of) { return PeakKiB({"extract", of.Path(), "-o", of.Output()}); };
  const long overTinyKiB = peakKiB(input) - peakKiB(tiny);
  const double allowanceKiB =
      static_cast<double>(std::filesystem::file_size(input.Path()) + script.Header().size()) / 1024 + 1024;
  state.counters["peak_over_tiny_KiB"] = static_cast<double>(overTinyKiB);
  state.counters["peak_vs_allowance"] = static_cast<double>(overTinyKiB) / allowanceKiB;
}

// A folder of recorded games, as players keep them.
class GameFolder {
 public:
  GameFolder(const std::string& game, int count) {
    for (int i = 0; i < count; ++i) std::filesystem::copy_file(game, m_dir.Path() / ("game" + std::to_string(i) + ".mgx"));
  }
  std::string Path() const { return m_dir.Path().string(); }
  std::string Output() const { return (m_outputs.Path() / "scripts").string(); }

 private:
  ScratchDir m_dir;
  ScratchDir m_outputs;
};

// extract-all with one game at a time and with two, interleaved; the speed-up is what a second
// processor brings.
void BM_ExtractAll(benchmark::State& state, const GameFolder& folder) {
  double one = 0;
  double two = 0;
  for (auto _ : state) {
    std::filesystem::remove_all(folder.Output());
    one += RunProcess({VELKORIN_CLI, "extract-all", folder.Path(), "-d", folder.Output(), "-j", "1"});
    std::filesystem::remove_all(folder.Output());
    const double seconds = RunProcess({VELKORIN_CLI, "extract-all", folder.Path(), "-d", folder.Output(), "-j", "2"});
    if (seconds < 0) {
      state.SkipWithError("extract-all failed");
      break;
    }
    two += seconds;
    state.SetIterationTime(seconds);
  }
  state.counters["speedup_of_j2_over_j1"] = one / two;
}

// The largest headers there may be, 64 MiB inflated each, from 64 KiB compressed: however many games
// run at a time, extract-all holds at most 256 MiB of headers.
AiSectionSpec LargestHeader() {
  AiSectionSpec section{.rules = TinyScript().rules};
  section.trailer.resize(recgame::kMaxHeaderLength - BuildHeader(section).size());
  return section;
}

void BM_ExtractAllPeak(benchmark::State& state, const GameFolder& folder) {
  std::map<int, long> peakKiB;
  for (auto _ : state) {
    for (const int jobs : {1, 16}) {
      std::filesystem::remove_all(folder.Output());
      peakKiB[jobs] = PeakKiB({"extract-all", folder.Path(), "-d", folder.Output(), "-j", std::to_string(jobs)});
      if (peakKiB[jobs] == 0) state.SkipWithError("extract-all failed");
    }
  }
  state.counters["peak_j1_MiB"] = static_cast<double>(peakKiB[1]) / 1024;
  state.counters["peak_j16_MiB"] = static_cast<double>(peakKiB[16]) / 1024;
}

// What list reads of each game, and within it what the players cost: their reader's few searches over
// the inflated header. "Without" is the summary less the players' part, timed in the same run on the
// header already loaded.
void BM_ListPlayers(benchmark::State& state, const std::vector<std::unique_ptr<Input>>& games) {
  double summaries = 0;
  double players = 0;
  for (auto _ : state) {
    double iteration = 0;
    for (const std::unique_ptr<Input>& game : games) {
      iteration += Seconds([&] { benchmark::DoNotOptimize(extraction::SummarizeGame(game->Path(), {})); });
      extraction::CAiScript script;
      const recgame::ReadResult read = script.LoadAndParse(game->Path());
      const size_t scripts = read == recgame::ReadResult::kOk ? script.ScriptCount() : 0;
      players += Seconds([&] { benchmark::DoNotOptimize(recgame::ReadPlayers(script.Header(), scripts)); });
    }
    summaries += iteration;
    state.SetIterationTime(iteration);
  }
  state.counters["with_players_vs_without"] = summaries / (summaries - players);
}

void Register(const char* name, const Input& input) {
  benchmark::RegisterBenchmark((std::string("Pipeline/") + name).c_str(), BM_Pipeline, std::cref(input))
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark((std::string("Process/") + name).c_str(), BM_Process, std::cref(input))
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::map<std::string, std::unique_ptr<Input>> inputs;
  const auto add = [&](const std::string& name, std::unique_ptr<Input> input) {
    Register(name.c_str(), *input);
    inputs.emplace(name, std::move(input));
  };
  add("sample", std::make_unique<Input>(std::filesystem::path(VELKORIN_SAMPLES_DIR) / "sample.mgx"));
  // The corpus is read from beside the checkout when it is there.
  for (const std::string game : {"aoc10c_with_AI", "matchup_1v2v2"}) {
    const std::filesystem::path source = std::filesystem::path(VELKORIN_CORPUS_DIR) / (game + ".mgx");
    if (std::filesystem::exists(source)) add(game, std::make_unique<Input>(source));
  }
  add("synthetic_6000_rules", std::make_unique<Input>(LargeScript()));
  // A folder of a real game with AI where there is one, of the synthetic script otherwise.
  const auto real = inputs.find("aoc10c_with_AI");
  const GameFolder folder((real != inputs.end() ? real : inputs.find("synthetic_6000_rules"))->second->Path(), 200);
  benchmark::RegisterBenchmark("ExtractAll/200_games", BM_ExtractAll, std::cref(folder))
      ->UseManualTime()
      ->Iterations(5)
      ->Unit(benchmark::kMillisecond);
  // Every game of the corpus, as list reads a folder of them; and the largest headers there may be,
  // without the players' tables, where every search goes through all 64 MiB, and with them at the end.
  std::vector<std::unique_ptr<Input>> listed;
  if (std::filesystem::exists(VELKORIN_CORPUS_DIR)) {
    for (const auto& entry : std::filesystem::directory_iterator(VELKORIN_CORPUS_DIR)) {
      if (entry.path().extension().string().starts_with(".mg")) listed.push_back(std::make_unique<Input>(entry.path()));
    }
  }
  if (!listed.empty()) {
    benchmark::RegisterBenchmark("ListPlayers/corpus", BM_ListPlayers, std::cref(listed))
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
  }
  std::vector<std::unique_ptr<Input>> largestHeaders;
  largestHeaders.push_back(std::make_unique<Input>(LargestHeader()));
  benchmark::RegisterBenchmark("ListPlayers/64_MiB_without_players", BM_ListPlayers, std::cref(largestHeaders))
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  AiSectionSpec withPlayers = LargestHeader();
  withPlayers.players = Players({{1, kHuman, "Host", 1, 0, 1}, {2, kComputer, "Computer", 2, 1, 1}});
  withPlayers.trailer.resize(withPlayers.trailer.size() - BuildPlayerTables(*withPlayers.players, false).size());
  std::vector<std::unique_ptr<Input>> largestWithPlayers;
  largestWithPlayers.push_back(std::make_unique<Input>(withPlayers));
  benchmark::RegisterBenchmark("ListPlayers/64_MiB_with_players", BM_ListPlayers, std::cref(largestWithPlayers))
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);

  const Input largest(LargestHeader());
  const GameFolder largestFolder(largest.Path(), 16);
  benchmark::RegisterBenchmark("ExtractAllPeak/16_games_of_64_MiB", BM_ExtractAllPeak, std::cref(largestFolder))
      ->Iterations(1)
      ->Unit(benchmark::kMillisecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
