#include "cli/Cli.h"

#include <optional>
#include <string_view>

#include "platform/BinaryFile.h"
#include "platform/FileError.h"
#include "platform/TextFile.h"
#include "script/AiScript.h"
#include "script/ResultMessages.h"

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

int ExitStatus(ReadResult result) {
  switch (result) {
    case ReadResult::kOk:
      return kExitOk;
    case ReadResult::kCannotOpen:
      return kExitFileOpenError;
    case ReadResult::kNoAiScript:
      return kExitNoAiScript;
    case ReadResult::kBroken:
      return kExitBrokenRecGame;
  }
  return kExitBrokenRecGame;
}

int ExitStatus(WriteResult result) {
  switch (result) {
    case WriteResult::kOk:
      return kExitOk;
    case WriteResult::kCannotCreate:
    case WriteResult::kIsRecGame:
      return kExitFileWriteError;
    case WriteResult::kTooLarge:
      return kExitBrokenRecGame;
  }
  return kExitFileWriteError;
}

// One line on standard error: the file, the message, and why, where the message does not say it.
int Fail(std::ostream& err, const std::string& path, std::string_view message, std::string_view reason, int status) {
  err << "velkorin: " << path << ": " << message;
  if (!reason.empty()) err << ": " << reason;
  err << '\n';
  return status;
}

int Extract(const ExtractRequest& request, std::ostream& err) {
  CAiScript script;
  ReadResult read = script.LoadRecGame(request.recGamePath);
  if (read == ReadResult::kOk) read = script.ParseAi();
  if (read != ReadResult::kOk) {
    return Fail(err, request.recGamePath, ResultMessage(read), script.LoadFailure(), ExitStatus(read));
  }

  WriteResult written = WriteResult::kOk;
  if (request.outputPath != "-") {
    written = script.WritePer(request.outputPath);
  } else if (!script.FitsTextLimit()) {
    written = WriteResult::kTooLarge;
  } else {
    BinaryFile standardOutput;
    standardOutput.AttachStandardOutput();
    TextFile text(standardOutput);
    script.WritePer(text);
    text.Flush();
  }
  if (written == WriteResult::kOk) return kExitOk;
  // A script too large to write is a fault of the recorded game, not of the output.
  const std::string& path = written == WriteResult::kTooLarge ? request.recGamePath : request.outputPath;
  return Fail(err, path, ResultMessage(written), ResultReason(written), ExitStatus(written));
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
