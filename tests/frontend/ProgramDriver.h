#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

// Runs Velkorin.exe's application object in the test process and plays its user from a second
// thread: the program's thread runs the real modal loops (the dialog's, the message boxes', the save
// dialog's, the folder browser's) while the user finds their windows, types, presses keys and
// buttons, and reads what they show. Every wait has a time limit; a program that does not close is
// ended with the process, so a stuck dialog fails the suite instead of hanging it. Texts are UTF-8,
// as the program holds them, and reach the windows through the wide calls.
namespace frontend_test {

// How long the user waits for a window to appear or go.
constexpr std::chrono::seconds kWindowTimeout{30};

// What a message box showed.
struct MessageBoxSeen {
  std::string caption;
  std::string text;
  HWND owner;
};

// The platform's save dialog as the user sees it.
struct SaveDialog {
  HWND hWnd;

  // The folder the dialog shows.
  std::string Folder() const;
  // The texts of the file-type choices, in order.
  std::vector<std::string> FileTypes() const;
  // The file name it proposes.
  std::string Name() const;
  // Types the file name and presses Save.
  void Save(const std::string& name) const;
};

class ProgramUser {
 public:
  ProgramUser(DWORD programThread, const std::atomic<bool>& programEnded);

  // The main dialog and its controls.
  HWND Dialog() const { return m_hDialog; }
  HWND Control(int id) const { return GetDlgItem(m_hDialog, id); }
  std::string Text(int id) const;
  std::vector<std::string> Entries() const;
  // The entries of the choice of scripts.
  std::vector<std::string> Choices() const;
  // The control that has the keyboard focus in the program.
  HWND Focus() const;

  // Replaces the text of a control, as typing would, without pressing Enter.
  void Type(int id, const std::string& text) const;
  void MoveFocusTo(int id) const;
  // Presses and releases the key in the control that has the focus, and waits until the program
  // has handled it.
  void Press(UINT vk) const;
  // Types the folder into the folder box and presses Enter there.
  void OpenFolder(const std::string& folder) const;
  // Selects the entry as a click does, which the list tells the dialog.
  void Select(const std::string& entry) const;
  // Waits until the selected game has been read and returns the line under the list.
  std::string WaitForGameLine() const;
  // Presses the button; does not wait, since the button may open a modal window.
  void Click(int id) const;
  // Double-clicks the list's entry with the left mouse button; does not wait.
  void DoubleClick(const std::string& entry) const;
  // Drops the files onto the dialog, as Explorer does (WM_DROPFILES), and waits until it is handled.
  void Drop(const std::vector<std::string>& paths) const;
  // Waits until the program's thread has handled every message posted to it so far.
  void Settle() const;

  // The program's visible top-level windows other than the main dialog.
  std::vector<HWND> OtherWindows() const;
  void WaitUntilGone(HWND hWnd) const;
  // Waits for a message box, reads it, presses its button `answer` and waits until it is gone.
  MessageBoxSeen AnswerMessageBox(int answer = IDOK) const;
  SaveDialog WaitForSaveDialog() const;
  // Waits for the folder browser and until it shows the item of this name selected; the browser
  // may fill its tree after it has appeared.
  HWND WaitForFolderBrowser(const std::string& selected) const;
  // Presses a button of one of the program's other windows (a message box, the save dialog, the
  // folder browser).
  void PressButton(HWND hWnd, int id) const;

  bool ProgramEnded() const { return m_programEnded; }

 private:
  // Waits for a window other than the main dialog that `fits`; throws when none comes in time.
  HWND WaitForWindow(const char* what, const std::function<bool(HWND)>& fits) const;

  DWORD m_programThread;
  const std::atomic<bool>& m_programEnded;
  HWND m_hDialog = nullptr;
  mutable unsigned m_nSettles = 0;
};

// Runs the program (theApp.InitInstance) on the calling thread, started with the arguments, while
// `user` plays it; the program is closed afterwards whatever the user left open. Returns what
// InitInstance returned. A failure or an exception of the user is reported as a test failure.
BOOL RunProgram(const std::function<void(ProgramUser&)>& user, const std::vector<std::string>& arguments = {});

}  // namespace frontend_test
