#include <string>
#include <vector>

#include "cli/Cli.h"
#include "platform/InterruptCleanup.h"
#include "platform/ConsoleText.h"
#include "platform/WideText.h"

namespace {

int Run(const std::vector<std::string>& args) {
  // An interrupted run removes the script file it had begun.
  platform::InstallInterruptCleanup();
  return cli::RunVelkorin(args, platform::ConsoleTextStream(platform::ConsoleStream::kOutput),
                          platform::ConsoleTextStream(platform::ConsoleStream::kError));
}

}  // namespace

#ifdef _WIN32
// The arguments as the system has them, in UTF-16: the narrow ones would hold only what the code page
// can spell, with question marks for the rest of a file name.
int wmain(int argc, wchar_t* argv[]) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(platform::Utf8FromWide(argv[i]));
  return Run(args);
}
#else
int main(int argc, char* argv[]) { return Run(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
