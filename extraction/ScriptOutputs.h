#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "script/ScriptText.h"

namespace extraction {

class CAiScript;

// Several scripts of one game written to files of their own, all or nothing, as `extract --all` and
// the dialog's "All scripts" write them.

// One script (from 0) and the file it goes to.
struct ScriptOutput {
  size_t script = 0;
  std::string path;
};

// What writing them gave; on a failure, the output it failed at and, where the system gave one, why.
struct ScriptsWritten {
  script::WriteResult result = script::WriteResult::kOk;
  std::string output;
  std::string reason;
};

// "BASE.per" (or "BASE") gives "BASE-N.per" for the script `script` (from 0), which is the N-th.
std::string NumberedOutput(const std::string& output, size_t script);
// Every one of `count` scripts, each to its numbered name after `output`.
std::vector<ScriptOutput> NumberedOutputs(const std::string& output, size_t count);
// Each script goes to its new file first; none replaces its output until all are complete, and on
// a failure every output is as it was. Throws FileError when putting one in place fails.
ScriptsWritten WriteScripts(const CAiScript& script, std::span<const ScriptOutput> outputs);

}  // namespace extraction
