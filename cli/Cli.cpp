#include "cli/Cli.h"

#include <algorithm>
#include <array>
#include <new>
#include <span>
#include <string_view>
#include <vector>

#include "cli/Commands.h"
#include "platform/ConsoleText.h"
#include "platform/FileError.h"
#include "extraction/ResultMessages.h"

namespace cli {

namespace {

constexpr std::array<const Command*, 3> kCommands = {&kExtractCommand, &kListCommand, &kExtractAllCommand};

// The options every command takes, and the only ones that may stand before a command.
constexpr OptionSpec kGeneralOptions[] = {
    {"help", 'h', "", "show this help and exit"},
    {"version", 0, "", "show the version and exit"},
};

constexpr std::string_view kAbout =
    "Turns the AI scripts that a recorded game of Age of Empires II: The Conquerors carries (.mgl, .mgx, .mgz) "
    "back into AI-script source (.per).";

constexpr std::string_view kOperands =
    "Options may stand before, between and after the operands; '--' ends them, so that a name after it that "
    "begins with '-' is an operand. The word after an option that takes a value is its value, whatever it "
    "looks like.";

struct ExitStatusHelp {
  int status;
  std::string_view meaning;
};

constexpr ExitStatusHelp kExitStatuses[] = {
    {kExitOk, "the script was written; list: every operand was listed; extract-all: every game was extracted or holds "
              "no AI script"},
    {kExitFileOpenError, "File Open Error: the recorded game, or a temporary file for it, cannot be opened; list: an "
                         "operand cannot be read (the others are listed); extract-all: the folder cannot be read"},
    {kExitNoAiScript, "No AI script in this file"},
    {kExitBrokenRecGame, "Recgame file is broken"},
    {kExitFileWriteError, "File Write Error: the output file cannot be created or is read-only, or it is the recorded game; "
                          "extract-all: OUTDIR cannot be created"},
    {kExitFileError, "a read, write or replace failed after its file was opened"},
    {kExitNoSuchScript, "the recorded game holds no script N"},
    {kExitGamesFailed, "extract-all: a recorded game was broken, or its extraction failed"},
    {kExitOutOfMemory, "Not enough memory: the memory the run needed could not be had; nothing was written"},
    {kExitUsage, "the command line is wrong; list: no operand given and no SaveGame folder found; extract --player N: "
                 "player N ran no AI script, or the game's players are not known"},
};

// The help's columns: terms from the third, what they mean from the 26th, lines up to the 100th.
constexpr size_t kTermIndent = 2;
constexpr size_t kTextColumn = 25;
constexpr size_t kLineWidth = 100;

// Writes `text` in lines of at most kLineWidth columns, each beginning at `column`, the first after
// `term` and two spaces at least, which help2man takes for the end of the term (or on a line of its own).
void WriteWrapped(std::ostream& stream, std::string_view term, size_t column, std::string_view text) {
  std::string line;
  if (!term.empty()) {
    line.assign(kTermIndent, ' ').append(term);
    if (line.size() + 2 > column) {
      stream << line << '\n';
      line.clear();
    }
  }
  line.resize(column, ' ');
  while (!text.empty()) {
    const std::string_view word = text.substr(0, text.find(' '));
    if (line.size() > column && line.size() + 1 + word.size() > kLineWidth) {
      stream << line << '\n';
      line.assign(column, ' ');
    }
    if (line.size() > column) line += ' ';
    line += word;
    text.remove_prefix(std::min(text.size(), word.size() + 1));
  }
  stream << line << '\n';
}

// "[-o OUT]", "--all", "-d OUTDIR": the option as the usage line shows it.
std::string UsageOf(const OptionSpec& option) {
  std::string text = OptionWord(option);
  if (!option.valueName.empty()) text.append(" ").append(option.valueName);
  return option.required ? text : std::string("[").append(text).append("]");
}

void WriteUsage(std::ostream& stream) {
  const char* lead = "Usage: ";
  for (const Command* command : kCommands) {
    stream << lead << "velkorin " << command->name << ' ' << command->operands;
    for (const OptionSpec& option : command->options) stream << ' ' << UsageOf(option);
    stream << '\n';
    lead = "  or:  ";
  }
  stream << lead << "velkorin --help | --version\n";
}

void WriteOptions(std::ostream& stream, std::span<const OptionSpec> options) {
  for (const OptionSpec& option : options) {
    std::string term = option.shortName != 0 ? std::string{'-', option.shortName, ','} + " " : "    ";
    term.append("--").append(option.name);
    if (!option.valueName.empty()) term.append(" ").append(option.valueName);
    WriteWrapped(stream, term, kTextColumn, option.help);
  }
}

void WriteHelp(std::ostream& stream) {
  WriteUsage(stream);
  stream << '\n';
  WriteWrapped(stream, "", 0, kAbout);
  stream << "\nCommands:\n";
  for (const Command* command : kCommands) {
    WriteWrapped(stream, std::string(command->name) + " " + std::string(command->operands), kTextColumn, command->help);
  }
  for (const Command* command : kCommands) {
    stream << "\nOptions of " << command->name << ":\n";
    WriteOptions(stream, command->options);
  }
  stream << "\nOptions of every command:\n";
  WriteOptions(stream, kGeneralOptions);
  stream << '\n';
  WriteWrapped(stream, "", 0, kOperands);
  stream << "\nExit status:\n";
  for (const ExitStatusHelp& exit : kExitStatuses) WriteWrapped(stream, std::to_string(exit.status), 6, exit.meaning);
}

int UsageError(std::ostream& err, std::string_view problem) {
  err << "velkorin: " << platform::EscapeControls(problem) << '\n';
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

// The problem when an option that the command needs is missing; empty when none is.
std::string MissingOption(const Arguments& arguments, std::span<const OptionSpec> options) {
  for (const OptionSpec& option : options) {
    if (option.required && !arguments.Has(option.name)) {
      const std::string usage = UsageOf(option);
      return "no " + std::string(option.valueName) + " given (" + usage + ")";
    }
  }
  return "";
}

}  // namespace

int RunVelkorin(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return UsageError(err, "no command given");
  // The command comes first; before it only the general options may stand.
  const Command* command = FindCommand(args[0]);
  if (command == nullptr && (!args[0].starts_with('-') || args[0] == "-")) {
    return UsageError(err, "unknown command " + args[0]);
  }
  std::vector<OptionSpec> options(std::begin(kGeneralOptions), std::end(kGeneralOptions));
  if (command != nullptr) options.insert(options.begin(), command->options.begin(), command->options.end());

  std::string problem;
  const std::optional<Arguments> arguments =
      Arguments::Parse(std::span(args).subspan(command != nullptr ? 1 : 0), options, &problem);
  if (!arguments) return UsageError(err, problem);
  if (arguments->Has("help")) {
    WriteHelp(out);
    return kExitOk;
  }
  if (arguments->Has("version")) {
    out << "velkorin " VELKORIN_VERSION "\n";
    return kExitOk;
  }
  if (command == nullptr) {
    return UsageError(err, arguments->Operands().empty() ? "no command given" : "the command must come first");
  }
  if (const std::string missing = MissingOption(*arguments, command->options); !missing.empty()) {
    return UsageError(err, missing);
  }
  try {
    return command->run(*arguments, out, err);
  } catch (const UsageProblem& usage) {
    return UsageError(err, usage.what());
  } catch (const platform::FileError& error) {
    err << "velkorin: " << platform::EscapeControls(error.what()) << '\n';
    return kExitFileError;
  } catch (const std::bad_alloc&) {
    // Every file the run had begun is gone with the objects that held it.
    err << "velkorin: " << extraction::kOutOfMemoryMessage << '\n';
    return kExitOutOfMemory;
  }
}

}  // namespace cli
