#include "cli/Cli.h"

#include <array>
#include <new>
#include <span>
#include <string_view>

#include "cli/Commands.h"
#include "platform/FileError.h"
#include "script/ResultMessages.h"

namespace {

constexpr std::array<const Command*, 3> kCommands = {&kExtractCommand, &kListCommand, &kExtractAllCommand};

constexpr std::string_view kHelp =
    "Turns the AI scripts that a recorded game of Age of Empires II: The Conquerors carries\n"
    "(.mgl, .mgx, .mgz) back into AI-script source (.per).\n"
    "\n"
    "Commands:\n"
    "  extract RECGAME        write the AI script of RECGAME; a game with several computer players\n"
    "                         holds one script for each\n"
    "  list [FOLDER]          list the recorded games of FOLDER (*.mg?, in any case), each with its size,\n"
    "                         its version text and the rule counts of its AI scripts, or why it has none;\n"
    "                         without FOLDER, the game's SaveGame folder (on Linux, in the Wine prefix)\n"
    "  extract-all FOLDER     write the AI scripts of every recorded game of FOLDER into OUTDIR, as\n"
    "                         NAME.per, NAME-2.per, ... (NAME.mgx.per where two games would meet)\n"
    "\n"
    "Options:\n"
    "  -o, --output OUT       write the script to OUT instead of standard output (- is standard output)\n"
    "      --script N         write the N-th script (from 1; the first by default)\n"
    "      --all              write every script: to OUT-1.per, OUT-2.per, ... (OUT without .per), or\n"
    "                         one after another to standard output, each after a line '; script N of M'\n"
    "      --json             list: write the list as one JSON object\n"
    "  -d, --directory OUTDIR\n"
    "                         extract-all: the folder of the scripts, created when missing\n"
    "  -j, --jobs N           extract-all: extract N games at a time (1 to 64; the number of processors\n"
    "                         by default), as many as 256 MiB of headers in memory allow\n"
    "      --salvage          read a recorded game whose header-length field is 0 up to the end of its\n"
    "                         compressed header, instead of calling it broken\n"
    "      --names SET        how researches are written: standard (the default) names the ages and\n"
    "                         eight more, the rest stay numbers; full names all 118 that have a keyword\n"
    "  -h, --help             show this help and exit\n"
    "      --version          show the version and exit\n"
    "\n"
    "Exit status:\n"
    "  0   the script was written; list: the folder was listed; extract-all: every game was extracted\n"
    "      or holds no AI script\n"
    "  1   File Open Error: the recorded game, or a temporary file for it, cannot be opened; list and\n"
    "      extract-all: the folder cannot be read\n"
    "  2   No AI script in this file\n"
    "  3   Recgame file is broken\n"
    "  4   File Write Error: the output file cannot be created, or it is the recorded game;\n"
    "      extract-all: OUTDIR cannot be created\n"
    "  5   a read, write or replace failed after its file was opened\n"
    "  6   the recorded game holds no script N\n"
    "  7   extract-all: a recorded game was broken, or its extraction failed\n"
    "  8   Not enough memory: the memory the run needed could not be had; nothing was written\n"
    "  64  the command line is wrong; list: no FOLDER given and no SaveGame folder found\n";

void WriteUsage(std::ostream& stream) {
  const char* lead = "Usage: ";
  for (const Command* command : kCommands) {
    stream << lead << "velkorin " << command->usage << '\n';
    lead = "       ";
  }
}

int UsageError(std::ostream& err, std::string_view problem) {
  err << "velkorin: " << problem << '\n';
  WriteUsage(err);
  err << "Try 'velkorin --help' for more information.\n";
  return kExitUsage;
}

const Command* FindCommand(std::string_view name) {
  for (const Command* command : kCommands) {
    if (command->name == name) return command;
  }
  return nullptr;
}

}  // namespace

int RunVelkorin(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  for (const std::string& arg : args) {
    if (arg == "-h" || arg == "--help") {
      WriteUsage(out);
      out << '\n' << kHelp;
      return kExitOk;
    }
    if (arg == "--version") {
      out << "velkorin " VELKORIN_VERSION "\n";
      return kExitOk;
    }
  }
  if (args.empty()) return UsageError(err, "no command given");
  const Command* command = FindCommand(args[0]);
  if (command == nullptr) return UsageError(err, "unknown command " + args[0]);

  std::string problem;
  const std::optional<Arguments> arguments =
      Arguments::Parse(std::span(args).subspan(1), command->options, &problem);
  if (!arguments) return UsageError(err, problem);
  try {
    return command->run(*arguments, out, err);
  } catch (const UsageProblem& usage) {
    return UsageError(err, usage.what());
  } catch (const FileError& error) {
    err << "velkorin: " << error.what() << '\n';
    return kExitFileError;
  } catch (const std::bad_alloc&) {
    // Every file the run had begun is gone with the objects that held it.
    err << "velkorin: " << kOutOfMemoryMessage << '\n';
    return kExitOutOfMemory;
  }
}
