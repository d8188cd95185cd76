// The Extract command: the AI script of the selected recorded game, saved where the user chooses.
#include <windows.h>

#include <commdlg.h>

#include <array>
#include <cstdio>
#include <new>
#include <string>

#include "frontend/VelkorinDlg.h"
#include "platform/FileError.h"
#include "platform/win32/FileDialog.h"
#include "platform/win32/WinApp.h"
#include "script/AiScript.h"
#include "script/ResultMessages.h"

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

}  // namespace

void CVelkorinDlg::OnExtract() {
  CAiScript script;
  UpdateData(TRUE);
  const int nSelected = m_RecGameList.GetCurSel();
  if (nSelected == LB_ERR) return;
  std::string strName;
  m_RecGameList.GetText(nSelected, strName);
  // The folder the list shows, whatever the folder box says now.
  const std::string strFolder = m_strListedFolder;
  const std::string strPath = strFolder + strName;

  try {
    ReadResult read = script.LoadRecGame(strPath);
    if (read == ReadResult::kOk) read = script.ParseAi();
    if (read != ReadResult::kOk) {
      AfxMessageBox(ResultMessage(read));
      return;
    }
    // The save dialog would make the folder it saved in the current one.
    CFileDialog dlgFile("per", strFolder + "*.per", OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR,
                        "AI Script(.per)|*.per|All(*.*)|*.*||");
    if (dlgFile.DoModal() != IDOK) {
      // A cancel gives no error; a failure must not pass for one.
      if (const DWORD dwError = CommDlgExtendedError(); dwError != 0) AfxMessageBox(SaveDialogError(dwError));
      return;
    }
    // Saying nothing here would leave the user believing the script was saved.
    const WriteResult written = script.WritePer(dlgFile.GetPathName());
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
