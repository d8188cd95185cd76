// The Extract command: the AI script of the selected recorded game, saved where the user chooses.
#include <new>
#include <string>

#include "frontend/VelkorinDlg.h"
#include "platform/FileError.h"
#include "platform/win32/FileDialog.h"
#include "platform/win32/WinApp.h"
#include "script/AiScript.h"
#include "script/ResultMessages.h"

void CVelkorinDlg::OnExtract() {
  CAiScript script;
  UpdateData(TRUE);
  const int nSelected = m_RecGameList.GetCurSel();
  if (nSelected == LB_ERR) return;
  std::string strName;
  m_RecGameList.GetText(nSelected, strName);
  const std::string strFolder = WithTrailingBackslash(m_strFolder);
  const std::string strPath = strFolder + strName;

  try {
    ReadResult read = script.LoadRecGame(strPath);
    if (read == ReadResult::kOk) read = script.ParseAi();
    if (read != ReadResult::kOk) {
      AfxMessageBox(ResultMessage(read));
      return;
    }
    CFileDialog dlgFile("per", strFolder + "*.per", OFN_OVERWRITEPROMPT, "AI Script(.per)|*.per|All(*.*)|*.*||");
    if (dlgFile.DoModal() != IDOK) return;
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
