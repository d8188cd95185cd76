#include "extraction/ScriptOutputs.h"

#include <deque>

#include "platform/OutputFile.h"
#include "extraction/AiScript.h"

namespace extraction {

std::string NumberedOutput(const std::string& output, size_t script) {
  std::string base = output;
  if (base.size() > 4 && base.ends_with(".per")) base.resize(base.size() - 4);
  return base + "-" + std::to_string(script + 1) + ".per";
}

std::vector<ScriptOutput> NumberedOutputs(const std::string& output, size_t count) {
  std::vector<ScriptOutput> outputs;
  for (size_t n = 0; n < count; ++n) outputs.push_back({n, NumberedOutput(output, n)});
  return outputs;
}

ScriptsWritten WriteScripts(const CAiScript& script, std::span<const ScriptOutput> outputs) {
  std::deque<platform::OutputFile> files;  // never moved once created
  for (const ScriptOutput& output : outputs) {
    ScriptsWritten written{script::WriteResult::kOk, output.path, {}};
    written.result = script.StagePer(files.emplace_back(), output.path, output.script, &written.reason);
    if (written.result != script::WriteResult::kOk) return written;
  }
  for (platform::OutputFile& file : files) file.Commit();
  return {};
}

}  // namespace extraction
