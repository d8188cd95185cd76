#include "cli/Cli.h"

#include <optional>
#include <string_view>

#include "platform/BinaryFile.h"
#include "platform/FileError.h"
#include "platform/TextFile.h"
#include "recgame/AiScript.h"
#include "recgame/ResultMessages.h"

namespace {

constexpr std::string_view kUsage = "Usage: velkorin extract RECGAME [-o OUT]\n";

constexpr std::string_view kHelp =
    "Turns the AI script that a recorded game of Age of Empires II: The Conquerors carries\n"
    "(.mgl, .mgx, .mgz) back into AI-script source (.per).\n"
    "\n"
    "Commands:\n"
    "  extract RECGAME        write the AI script of RECGAME\n"
    "\n"
    "Options:\n"
    "  -o, --output OUT       write the script to OUT instead of standard output (- is standard output)\n"
    "  -h, --help             show this help and exit\n"
    "      --version          show the version and exit\n"
    "\n"
    "Exit status:\n"
    "  0   the script was written\n"
    "  1   File Open Error: the recorded game, or a temporary file for it, cannot be opened\n"
    "  2   No AI script in this file\n"
    "  3   Recgame file is broken\n"
    "  4   File Write Error: the output file cannot be created, or it is the recorded game\n"
    "  5   a read, write or replace failed after its file was opened\n"
    "  64  the command line is wrong\n";

struct ExtractRequest {
  std::string recGamePath;
  std::string outputPath = "-";
};

int UsageError(std::ostream& err, std::string_view problem) {
  err << "velkorin: " << problem << '\n' << kUsage << "Try 'velkorin --help' for more information.\n";
  return kExitUsage;
}

// Reads "RECGAME [-o OUT]"; the problem is reported and nothing returned when it does not fit.
std::optional<ExtractRequest> ParseExtract(const std::vector<std::string>& args, std::ostream& err) {
  ExtractRequest request;
  bool haveRecGame = false;
  bool haveOutput = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::optional<std::string> output;
    if (arg == "-o" || arg == "--output") {
      if (i + 1 == args.size()) {
        UsageError(err, "option " + arg + " needs a file name");
        return std::nullopt;
      }
      output = args[++i];
    } else if (arg.starts_with("--output=")) {
      output = arg.substr(std::string_view("--output=").size());
    } else if (arg.size() > 1 && arg.starts_with('-')) {
      UsageError(err, "unknown option " + arg);
      return std::nullopt;
    } else if (haveRecGame) {
      UsageError(err, "only one recorded game can be extracted at a time");
      return std::nullopt;
    } else {
      request.recGamePath = arg;
      haveRecGame = true;
    }
    if (output) {
      if (haveOutput || output->empty()) {
        UsageError(err, haveOutput ? "only one output can be given" : "the output file name is empty");
        return std::nullopt;
      }
      request.outputPath = *output;
      haveOutput = true;
    }
  }
  if (!haveRecGame) {
    UsageError(err, "no recorded game given");
    return std::nullopt;
  }
  return request;
}

int Fail(std::ostream& err, const std::string& path, std::string_view message, int status) {
  err << "velkorin: " << path << ": " << message << '\n';
  return status;
}

int Extract(const ExtractRequest& request, std::ostream& err) {
  CAiScript script;
  const int loaded = script.LoadRecGame(request.recGamePath);
  if (loaded != kResultOk) {
    std::string message(LoadFailureText(loaded));
    if (!script.LoadFailure().empty()) message += ": " + script.LoadFailure();
    return Fail(err, request.recGamePath, message, loaded == kResultCannotOpen ? kExitFileOpenError : kExitBrokenRecGame);
  }
  if (script.ParseAi() != kResultOk) return Fail(err, request.recGamePath, kNoAiScriptText, kExitNoAiScript);

  const std::string tooLarge = std::string(kBrokenRecGameText) + ": its script would take more than 1 GiB of text";
  if (request.outputPath == "-") {
    if (!script.FitsTextLimit()) return Fail(err, request.recGamePath, tooLarge, kExitBrokenRecGame);
    BinaryFile standardOutput;
    standardOutput.AttachStandardOutput();
    TextFile text(standardOutput);
    script.WritePer(text);
    text.Flush();
    return kExitOk;
  }
  switch (script.WritePer(request.outputPath)) {
    case kResultOk:
      return kExitOk;
    case kResultBroken:
      return Fail(err, request.recGamePath, tooLarge, kExitBrokenRecGame);
    case kResultOutputIsRecGame:
      return Fail(err, request.outputPath, std::string(kFileWriteErrorText) + ": it is the recorded game itself",
                  kExitFileWriteError);
    default:
      return Fail(err, request.outputPath, kFileWriteErrorText, kExitFileWriteError);
  }
}

}  // namespace

int RunVelkorin(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  for (const std::string& arg : args) {
    if (arg == "-h" || arg == "--help") {
      out << kUsage << '\n' << kHelp;
      return kExitOk;
    }
    if (arg == "--version") {
      out << "velkorin " VELKORIN_VERSION "\n";
      return kExitOk;
    }
  }
  if (args.empty()) return UsageError(err, "no command given");
  if (args[0] != "extract") return UsageError(err, "unknown command " + args[0]);

  const std::optional<ExtractRequest> request = ParseExtract(args, err);
  if (!request) return kExitUsage;
  try {
    return Extract(*request, err);
  } catch (const FileError& error) {
    err << "velkorin: " << error.what() << '\n';
    return kExitFileError;
  }
}
