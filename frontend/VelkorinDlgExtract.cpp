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
#include "platform/FileError.h"
#include "platform/OsFile.h"
#include "platform/win32/FileDialog.h"
#include "platform/win32/WinApp.h"
#include "script/AiScript.h"
#include "script/ResultMessages.h"
#include "script/ScriptOutputs.h"

namespace {

std::string SaveDialogError(DWORD dwError) {
  if (dwError == FNERR_BUFFERTOOSMALL) {
    return std::string(ResultMessage(WriteResult::kCannotCreate)) + "\n\nThe name is longer than the " +
           std::to_string(CFileDialog::kMaxPathName) + " characters a path may have.";
  }
  std::array<char, 64> text{};
  std::snprintf(text.data(), text.size(), "The save dialog failed (error 0x%04lX).", dwError);
  return text.data();
}

// Every script of the game, to the numbered names after the one chosen, all or none; the save dialog
// asked about the name chosen, which is not written, so the names that are get a question of their own.
void WriteEveryScript(const CAiScript& script, const std::string& strChosen) {
  const std::vector<ScriptOutput> outputs = script::NumberedOutputs(strChosen, script.ScriptCount());
  std::string strExisting;
  size_t nExisting = 0;
  for (const ScriptOutput& output : outputs) {
    if (os::StatusOf(output.path).kind == os::PathKind::kMissing) continue;
    strExisting += output.path + "\n";
    ++nExisting;
  }
  const char* lpszQuestion =
      nExisting == 1 ? "already exists.\nDo you want to replace it?" : "already exist.\nDo you want to replace them?";
  if (nExisting > 0 && AfxMessageBox(strExisting + lpszQuestion, MB_YESNO) != IDYES) return;
  const ScriptsWritten written = script::WriteScripts(script, outputs);
  if (written.result != WriteResult::kOk) {
    AfxMessageBox(std::string(ResultMessage(written.result)) + "\n\n" + written.output +
                  (written.reason.empty() ? "" : ": " + written.reason));
  }
}

// The game's name without its extension.
std::string BaseName(const std::string& strName) {
  const size_t dot = strName.find_last_of('.');
  return dot == std::string::npos ? strName : strName.substr(0, dot);
}

}  // namespace

void CVelkorinDlg::OnExtract() {
  CAiScript script;
  UpdateData(TRUE);
  if (SelectedGame() == nullptr) return;
  // The choice of scripts belongs to the game selected now.
  if (m_bReadPending) ReadSelectedGame();
  const std::optional<size_t> nScript = ChosenScript();
  // The game and the folder the list shows, whatever the folder box says now or the list shows later.
  const RecGameFile game = *SelectedGame();
  const std::string strFolder = m_strListedFolder;

  try {
    ReadResult read = script.LoadRecGame(game.path);
    if (read == ReadResult::kOk) read = script.ParseAi();
    if (read != ReadResult::kOk) {
      AfxMessageBox(ResultMessage(read));
      return;
    }
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
                                    : nScript.value_or(0) > 0 ? script::NumberedOutput(strBase, *nScript)
                                                              : strBase + ".per";
    // The save dialog would make the folder it saved in the current one.
    const DWORD dwFlags = (nScript ? OFN_OVERWRITEPROMPT : 0) | OFN_NOCHANGEDIR;
    CFileDialog dlgFile("per", strProposed, dwFlags, "AI Script(.per)|*.per|All(*.*)|*.*||");
    if (dlgFile.DoModal() != IDOK) {
      // A cancel gives no error; a failure must not pass for one.
      if (const DWORD dwError = CommDlgExtendedError(); dwError != 0) AfxMessageBox(SaveDialogError(dwError));
      return;
    }
    // Saying nothing here would leave the user believing the script was saved.
    if (!nScript) {
      WriteEveryScript(script, dlgFile.GetPathName());
      return;
    }
    const WriteResult written = script.WritePer(dlgFile.GetPathName(), *nScript);
    if (written != WriteResult::kOk) AfxMessageBox(ResultMessage(written));
  } catch (const FileError& error) {
    // A read, write or replace failed after its file was opened: the text names the file and the
    // system's error. The command ends here and the dialog goes on.
    AfxMessageBox(error.what());
  } catch (const std::bad_alloc&) {
    // What the extraction held is freed by now; the dialog goes on.
    AfxMessageBox(kOutOfMemoryMessage);
  }
}
