#include <iostream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "platform/InterruptCleanup.h"

int main(int argc, char* argv[]) {
  // An interrupted run removes the script file it had begun.
  InstallInterruptCleanup();
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return RunVelkorin(args, std::cout, std::cerr);
}
