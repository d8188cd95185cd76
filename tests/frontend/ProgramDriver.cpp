#include "tests/frontend/ProgramDriver.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "frontend/Resource.h"
#include "frontend/VelkorinApp.h"
#include "platform/WideText.h"

namespace frontend_test {
namespace {

constexpr std::chrono::milliseconds kPoll{20};

std::string ClassName(HWND hWnd) {
  char name[64] = {};
  const int length = GetClassNameA(hWnd, name, sizeof name);
  return std::string(name, static_cast<size_t>(length));
}

bool IsDialogWindow(HWND hWnd) { return ClassName(hWnd) == "#32770"; }

std::vector<HWND> VisibleWindows(DWORD thread) {
  std::vector<HWND> windows;
  EnumThreadWindows(
      thread,
      [](HWND hWnd, LPARAM lParam) {
        if (IsWindowVisible(hWnd)) reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

bool IsMainDialog(HWND hWnd) {
  return IsDialogWindow(hWnd) && WindowText(hWnd) == "Velkorin" && GetDlgItem(hWnd, IDC_RECGAME_LIST) != nullptr;
}

// Waits until `done` holds; false when it does not within the limit.
bool WaitFor(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + kWindowTimeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(kPoll);
  }
  return true;
}

HWND FileNameBox(HWND hSaveDialog) {
  const HWND hCombo = GetDlgItem(hSaveDialog, cmb13);
  return hCombo != nullptr ? hCombo : GetDlgItem(hSaveDialog, edt1);
}

// Closes whatever the program still shows, until the program has ended; ends the process when it
// does not, since the test thread would wait for it forever.
void CloseEverything(DWORD thread, const std::atomic<bool>& programEnded) {
  const auto deadline = std::chrono::steady_clock::now() + kWindowTimeout;
  while (!programEnded) {
    if (std::chrono::steady_clock::now() > deadline) {
      std::fprintf(stderr, "The program did not close; ending the test process.\n");
      std::fflush(stderr);
      TerminateProcess(GetCurrentProcess(), 3);
    }
    for (const HWND hWnd : VisibleWindows(thread)) {
      PostMessageA(hWnd, IsMainDialog(hWnd) ? WM_CLOSE : WM_COMMAND, IsMainDialog(hWnd) ? 0 : IDCANCEL, 0);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
}

}  // namespace

std::string WindowText(HWND hWnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hWnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hWnd, text.data(), static_cast<int>(text.size()))));
  return Utf8FromWide(text);
}

std::vector<std::string> ChildTexts(HWND hWnd, const char* className) {
  struct Search {
    HWND parent;
    const char* className;
    std::vector<std::string> texts;
  } search{hWnd, className, {}};
  EnumChildWindows(
      hWnd,
      [](HWND hChild, LPARAM lParam) {
        auto& s = *reinterpret_cast<Search*>(lParam);
        if (GetParent(hChild) == s.parent && ClassName(hChild) == s.className) s.texts.push_back(WindowText(hChild));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.texts;
}

std::string SaveDialog::Folder() const {
  wchar_t path[MAX_PATH] = {};
  SendMessageW(m_hWnd, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(path));
  return Utf8FromWide(path);
}

std::vector<std::string> SaveDialog::FileTypes() const {
  const HWND hTypes = GetDlgItem(m_hWnd, cmb1);
  std::vector<std::string> types;
  const LRESULT count = SendMessageA(hTypes, CB_GETCOUNT, 0, 0);
  for (WPARAM i = 0; i < static_cast<WPARAM>(count > 0 ? count : 0); ++i) {
    wchar_t text[256] = {};
    SendMessageW(hTypes, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    types.push_back(Utf8FromWide(text));
  }
  return types;
}

void SaveDialog::Save(const std::string& name) const {
  SendMessageW(FileNameBox(m_hWnd), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WideFromUtf8(name).c_str()));
  PostMessageA(GetDlgItem(m_hWnd, IDOK), BM_CLICK, 0, 0);
}

void SaveDialog::Cancel() const { PostMessageA(GetDlgItem(m_hWnd, IDCANCEL), BM_CLICK, 0, 0); }

ProgramUser::ProgramUser(DWORD programThread, const std::atomic<bool>& programEnded)
    : m_programThread(programThread), m_programEnded(programEnded), m_hDialog(nullptr) {
  if (!WaitFor([this] {
        for (const HWND hWnd : VisibleWindows(m_programThread)) {
          if (IsMainDialog(hWnd)) m_hDialog = hWnd;
        }
        return m_hDialog != nullptr || m_programEnded;
      }) ||
      m_hDialog == nullptr) {
    throw std::runtime_error("the main dialog did not appear");
  }
}

std::string ProgramUser::Text(int id) const { return WindowText(Control(id)); }

std::vector<std::string> ProgramUser::Entries() const {
  const HWND hList = Control(IDC_RECGAME_LIST);
  std::vector<std::string> entries;
  const LRESULT count = SendMessageA(hList, LB_GETCOUNT, 0, 0);
  for (WPARAM i = 0; i < static_cast<WPARAM>(count > 0 ? count : 0); ++i) {
    std::wstring text(static_cast<size_t>(SendMessageW(hList, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(SendMessageW(hList, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
    entries.push_back(Utf8FromWide(text));
  }
  return entries;
}

HWND ProgramUser::Focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(m_programThread, &info) ? info.hwndFocus : nullptr;
}

void ProgramUser::Type(int id, const std::string& text) const {
  SendMessageW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WideFromUtf8(text).c_str()));
}

void ProgramUser::MoveFocusTo(int id) const {
  SendMessageA(m_hDialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(id)), TRUE);
}

void ProgramUser::Press(UINT vk) const {
  const HWND hTarget = Focus();
  PostMessageA(hTarget, WM_KEYDOWN, vk, 1);
  PostMessageA(hTarget, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
  Settle();
}

void ProgramUser::OpenFolder(const std::string& folder) const {
  Type(IDC_FOLDER, folder);
  MoveFocusTo(IDC_FOLDER);
  Press(VK_RETURN);
}

void ProgramUser::Select(const std::string& entry) const {
  const HWND hList = Control(IDC_RECGAME_LIST);
  const LRESULT index = SendMessageW(hList, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(WideFromUtf8(entry).c_str()));
  if (index == LB_ERR) throw std::runtime_error("the list has no entry " + entry);
  SendMessageA(hList, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ProgramUser::Click(int id) const { PostMessageA(Control(id), BM_CLICK, 0, 0); }

void ProgramUser::Settle() const {
  // A limit the folder box never had before: once the program's thread has set it, it has handled
  // everything posted before it. Posted messages are handled in order, by whichever loop runs.
  const WPARAM marker = 100000 + ++m_nSettles;
  const HWND hFolder = Control(IDC_FOLDER);
  PostMessageA(hFolder, EM_SETLIMITTEXT, marker, 0);
  if (!WaitFor([&] {
        return m_programEnded || static_cast<WPARAM>(SendMessageA(hFolder, EM_GETLIMITTEXT, 0, 0)) == marker;
      })) {
    throw std::runtime_error("the program stopped handling messages");
  }
}

std::vector<HWND> ProgramUser::OtherWindows() const {
  std::vector<HWND> windows = VisibleWindows(m_programThread);
  std::erase(windows, m_hDialog);
  return windows;
}

HWND ProgramUser::WaitForWindow(const char* what, const std::function<bool(HWND)>& fits) const {
  HWND hFound = nullptr;
  if (!WaitFor([&] {
        for (const HWND hWnd : OtherWindows()) {
          if (fits(hWnd)) hFound = hWnd;
        }
        return hFound != nullptr;
      })) {
    throw std::runtime_error(std::string(what) + " did not appear");
  }
  return hFound;
}

void ProgramUser::WaitUntilGone(HWND hWnd) const {
  if (!WaitFor([hWnd] { return !IsWindow(hWnd) || !IsWindowVisible(hWnd); })) {
    throw std::runtime_error("a window did not go: " + WindowText(hWnd));
  }
}

MessageBoxSeen ProgramUser::AnswerMessageBox(int answer) const {
  const HWND hBox = WaitForWindow("a message box", [](HWND hWnd) {
    return IsDialogWindow(hWnd) && FileNameBox(hWnd) == nullptr && !ChildTexts(hWnd, "Static").empty();
  });
  MessageBoxSeen seen{WindowText(hBox), {}, GetWindow(hBox, GW_OWNER)};
  for (const std::string& text : ChildTexts(hBox, "Static")) seen.text += text;
  PressButton(hBox, answer);
  WaitUntilGone(hBox);
  return seen;
}

SaveDialog ProgramUser::WaitForSaveDialog() const {
  return SaveDialog(WaitForWindow("the save dialog", [](HWND hWnd) { return FileNameBox(hWnd) != nullptr; }));
}

HWND ProgramUser::WaitForFolderBrowser() const {
  return WaitForWindow("the folder browser", [](HWND hWnd) {
    for (const std::string& text : ChildTexts(hWnd, "Static")) {
      if (text == "Select Recgame Folder") return true;
    }
    return false;
  });
}

void ProgramUser::WaitForBrowserSelection(HWND hBrowser, const std::string& name) const {
  const HWND hTree = FindWindowExW(hBrowser, nullptr, WC_TREEVIEWW, nullptr);
  const auto selected = [hTree] {
    wchar_t text[MAX_PATH] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = TreeView_GetSelection(hTree);
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    return item.hItem != nullptr && SendMessageW(hTree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))
               ? Utf8FromWide(text)
               : std::string();
  };
  if (hTree == nullptr || !WaitFor([&] { return selected() == name; })) {
    throw std::runtime_error("the folder browser did not select " + name);
  }
}

void ProgramUser::PressButton(HWND hWnd, int id) const {
  PostMessageA(GetDlgItem(hWnd, id), BM_CLICK, 0, 0);
}

void ProgramUser::Close() const {
  PostMessageA(m_hDialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  if (!WaitFor([this] { return m_programEnded.load(); })) throw std::runtime_error("the dialog did not close");
}

BOOL RunProgram(const std::function<void(ProgramUser&)>& user) {
  // The save dialog makes the folder it saved in the current one, as it does for the real program,
  // whose process then ends; here the test's folders must stay removable.
  const std::filesystem::path currentFolder = std::filesystem::current_path();
  const DWORD programThread = GetCurrentThreadId();
  std::atomic<bool> programEnded{false};
  std::thread userThread([&] {
    try {
      ProgramUser programUser(programThread, programEnded);
      user(programUser);
      if (!programEnded) programUser.Close();
    } catch (const std::exception& error) {
      ADD_FAILURE() << error.what();
    }
    CloseEverything(programThread, programEnded);
  });
  const BOOL result = theApp.InitInstance();
  programEnded = true;
  userThread.join();
  std::filesystem::current_path(currentFolder);
  return result;
}

}  // namespace frontend_test
