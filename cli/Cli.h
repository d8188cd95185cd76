#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace cli {

// Exit statuses of the velkorin command.
enum ExitStatus : int {
  kExitOk = 0,
  kExitFileOpenError = 1,
  kExitNoAiScript = 2,
  kExitBrokenRecGame = 3,
  kExitFileWriteError = 4,  // the output file cannot be created
  kExitFileError = 5,       // a read, write, seek or replace failed after its file was opened
  kExitNoSuchScript = 6,    // the script asked for is not in the recorded game
  kExitGamesFailed = 7,     // extract-all: a recorded game was broken, or its extraction failed
  kExitOutOfMemory = 8,     // the memory the run needed could not be had
  kExitUsage = 64,
};

// Runs the command line given without the program name. Help, version, listings and messages go to
// `out` and `err`; a script goes to the file named by -o, or straight to the process's standard
// output so that its bytes are exactly those of a script file.
int RunVelkorin(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cli
