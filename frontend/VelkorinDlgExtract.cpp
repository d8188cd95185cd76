// The Extract command: the AI script of the selected recorded game, saved where the user chooses.
#include <windows.h>

#include <commdlg.h>

#include <array>
#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "frontend/VelkorinDlg.h"
#include "platform/ConsoleText.h"
#include "platform/FileError.h"
#include "platform/OsFile.h"
#include "platform/win32/FileDialog.h"
#include "platform/win32/WinApp.h"
#include "extraction/AiScript.h"
#include "extraction/GameSummary.h"
#include "extraction/ResultMessages.h"
#include "extraction/ScriptOutputs.h"

namespace {

std::string SaveDialogError(DWORD dwError) {
  if (dwError == FNERR_BUFFERTOOSMALL) {
    return std::string(extraction::ResultMessage(script::WriteResult::kCannotCreate)) +
           "\n\nThe name is longer than the " + std::to_string(CFileDialog::kMaxPathName) +
           " characters a path may have.";
  }
  std::array<char, 64> text{};
  std::snprintf(text.data(), text.size(), "The save dialog failed (error 0x%04lX).", dwError);
  return text.data();
}

// The save dialog's file types, in the framework's form.
constexpr const char* kScriptFilter = "AI Script(.per)|*.per|All(*.*)|*.*||";

// "File Write Error", the output and why, as the command line says it.
void ReportWriteFailure(script::WriteResult result, const std::string& strOutput, const std::string& strReason) {
  AfxMessageBox(std::string(extraction::ResultMessage(result)) + "\n\n" + platform::EscapeControls(strOutput) +
                (strReason.empty() ? "" : ": " + platform::EscapeControls(strReason)));
}

// Whether the outputs may be written: none is read-only or the recorded game itself, which are
// refused with the reason, and the user agrees to have those that exist replaced. The question is
// ours, not the save dialog's (OFN_OVERWRITEPROMPT), which would offer to replace a file that cannot
// be replaced: Wine's save dialog ignores OFN_NOREADONLYRETURN, and a hook to refuse one would give
// Windows the save dialog of old.
bool MayReplace(const std::vector<extraction::ScriptOutput>& outputs, const std::string& strRecGame) {
  const os::PathStatus recGame = os::StatusOf(strRecGame);
  std::string strExisting;
  size_t nExisting = 0;
  for (const extraction::ScriptOutput& output : outputs) {
    const os::PathStatus status = os::StatusOf(output.path);
    if (status.kind == os::PathKind::kMissing) continue;
    const script::WriteResult refused = recGame.kind == os::PathKind::kRegular && status.identity == recGame.identity
                                            ? script::WriteResult::kIsRecGame
                                        : os::IsReadOnly(output.path) ? script::WriteResult::kReadOnly
                                                                      : script::WriteResult::kOk;
    if (refused != script::WriteResult::kOk) {
      ReportWriteFailure(refused, output.path, std::string(script::ResultReason(refused)));
      return false;
    }
    strExisting += platform::EscapeControls(output.path) + "\n";
    ++nExisting;
  }
  const char* lpszQuestion =
      nExisting == 1 ? "already exists.\nDo you want to replace it?" : "already exist.\nDo you want to replace them?";
  return nExisting == 0 || AfxMessageBox(strExisting + lpszQuestion, MB_YESNO) == IDYES;
}

// Asks where to save the script chosen, or every script after the name chosen, which itself is not
// written, until the outputs may be written; nothing when the user cancels. As after the save
// dialog's own refusals, it opens again at the name chosen when that is refused or not to be replaced.
std::optional<std::vector<extraction::ScriptOutput>> AskForOutputs(const extraction::CAiScript& script,
                                                                   std::optional<size_t> nScript,
                                                                   std::string strProposed,
                                                                   const std::string& strRecGame) {
  for (;;) {
    // The save dialog would make the folder it saved in the current one.
    CFileDialog dlgFile("per", strProposed, OFN_NOCHANGEDIR, kScriptFilter);
    if (dlgFile.DoModal() != IDOK) {
      // A cancel gives no error; a failure must not pass for one.
      if (const DWORD dwError = CommDlgExtendedError(); dwError != 0) AfxMessageBox(SaveDialogError(dwError));
      return std::nullopt;
    }
    strProposed = dlgFile.GetPathName();
    std::vector<extraction::ScriptOutput> outputs =
        nScript ? std::vector<extraction::ScriptOutput>{{*nScript, strProposed}}
                : extraction::NumberedOutputs(strProposed, script.ScriptCount());
    if (MayReplace(outputs, strRecGame)) return outputs;
  }
}

// Reads the recorded game; a broken one that salvaging reads is read so if the user agrees. False,
// once the user has been told why or has declined, when there is nothing to write.
bool ReadRecGame(extraction::CAiScript& script, const std::string& strPath) {
  const recgame::ReadResult read = script.LoadAndParse(strPath);
  if (read == recgame::ReadResult::kOk) return true;
  if (read == recgame::ReadResult::kBroken) {
    const extraction::GameSummary broken{.status = read, .scripts = extraction::SummarizeScripts(script)};
    if (script.LoadAndParse(strPath, {.salvage = true}) == recgame::ReadResult::kOk) {
      const std::string strQuestion = CVelkorinDlg::DamageText(broken) + "\n\nTry to salvage what the file holds?";
      return AfxMessageBox(strQuestion, MB_YESNO) == IDYES;
    }
  }
  AfxMessageBox(extraction::ResultMessage(read));
  return false;
}

// What the scripts written lack, as the command line warns of it: those cut short, those of no rules.
void SayWhatIsMissing(const extraction::CAiScript& script, const std::vector<extraction::ScriptOutput>& outputs) {
  const std::vector<extraction::ScriptSummary> scripts = extraction::SummarizeScripts(script);
  std::string strMissing;
  for (const extraction::ScriptOutput& output : outputs) {
    const std::string strMessage = extraction::MissingRulesMessage(output.script, scripts[output.script]);
    if (!strMessage.empty()) strMissing += (strMissing.empty() ? "" : "\n") + strMessage;
  }
  if (!strMissing.empty()) AfxMessageBox(strMissing, MB_ICONINFORMATION);
}

// The game's name without its extension.
std::string BaseName(const std::string& strName) {
  const size_t dot = strName.find_last_of('.');
  return dot == std::string::npos ? strName : strName.substr(0, dot);
}

}  // namespace

void CVelkorinDlg::OnExtract() {
  extraction::CAiScript script;
  UpdateData(TRUE);
  if (SelectedGame() == nullptr) return;
  // The choice of scripts belongs to the game selected now.
  if (m_bReadPending) ReadSelectedGame();
  const std::optional<size_t> nScript = ChosenScript();
  // The game and the folder the list shows, whatever the folder box says now or the list shows later.
  const recgame::RecGameFile game = *SelectedGame();
  const std::string strFolder = m_strListedFolder;

  try {
    if (!ReadRecGame(script, game.path)) return;
    // The game may have changed since it was read for the choice.
    if (nScript && *nScript >= script.ScriptCount()) {
      AfxMessageBox("No script " + std::to_string(*nScript + 1) + " in this file");
      return;
    }
    // A game of one script keeps the plain proposal; of several, the name says which script, and
    // "All scripts" numbers the names after the one chosen, which itself is not written.
    const bool bSeveral = script.ScriptCount() > 1;
    const std::string strBase = strFolder + BaseName(game.name);
    const std::string strProposed = !bSeveral                 ? strFolder + "*.per"
                                    : nScript.value_or(0) > 0 ? extraction::NumberedOutput(strBase, *nScript)
                                                              : strBase + ".per";
    const std::optional<std::vector<extraction::ScriptOutput>> outputs =
        AskForOutputs(script, nScript, strProposed, game.path);
    if (!outputs) return;
    // All or nothing: no file is replaced until every script is complete.
    const extraction::ScriptsWritten written = extraction::WriteScripts(script, *outputs);
    if (written.result != script::WriteResult::kOk) {
      // Saying nothing here would leave the user believing the script was saved.
      ReportWriteFailure(written.result, written.output,
                         written.reason.empty() ? std::string(script::ResultReason(written.result)) : written.reason);
      return;
    }
    SayWhatIsMissing(script, *outputs);
  } catch (const platform::FileError& error) {
    // A read, write or replace failed after its file was opened: the text names the file and the
    // system's error. The command ends here and the dialog goes on.
    AfxMessageBox(platform::EscapeControls(error.what()));
  } catch (const std::bad_alloc&) {
    // What the extraction held is freed by now; the dialog goes on.
    AfxMessageBox(extraction::kOutOfMemoryMessage);
  }
}
