#include "tests/frontend/ProgramDriver.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shlobj.h>

#include <algorithm>
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

bool IsDialogWindow(HWND hWnd) {
  char name[64] = {};
  GetClassNameA(hWnd, name, sizeof name);
  return std::string(name) == "#32770";
}

std::string WindowText(HWND hWnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hWnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hWnd, text.data(), static_cast<int>(text.size()))));
  return platform::Utf8FromWide(text);
}

// The texts of a window's own static controls, in order.
std::vector<std::string> StaticTexts(HWND hWnd) {
  std::vector<std::string> texts;
  for (HWND hChild = FindWindowExA(hWnd, nullptr, "Static", nullptr); hChild != nullptr;
       hChild = FindWindowExA(hWnd, hChild, "Static", nullptr)) {
    texts.push_back(WindowText(hChild));
  }
  return texts;
}

// The texts of a list box's or combo box's items, read with the box's count, length and text messages.
std::vector<std::string> ItemTexts(HWND hBox, UINT getCount, UINT getLength, UINT getText) {
  std::vector<std::string> texts;
  const LRESULT count = SendMessageW(hBox, getCount, 0, 0);
  for (WPARAM i = 0; i < static_cast<WPARAM>(count > 0 ? count : 0); ++i) {
    std::wstring text(static_cast<size_t>(SendMessageW(hBox, getLength, i, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(SendMessageW(hBox, getText, i, reinterpret_cast<LPARAM>(text.data()))));
    texts.push_back(platform::Utf8FromWide(text));
  }
  return texts;
}

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

// Waits until `done` holds; throws `failure` when it does not within the limit.
void WaitUntil(const std::function<bool()>& done, const std::string& failure) {
  const auto deadline = std::chrono::steady_clock::now() + kWindowTimeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) throw std::runtime_error(failure);
    std::this_thread::sleep_for(kPoll);
  }
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

std::string SaveDialog::Folder() const {
  wchar_t path[MAX_PATH] = {};
  SendMessageW(hWnd, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(path));
  return platform::Utf8FromWide(path);
}

std::vector<std::string> SaveDialog::FileTypes() const {
  return ItemTexts(GetDlgItem(hWnd, cmb1), CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

std::string SaveDialog::Name() const { return WindowText(FileNameBox(hWnd)); }

void SaveDialog::Save(const std::string& name) const {
  SendMessageW(FileNameBox(hWnd), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(platform::WideFromUtf8(name).c_str()));
  PostMessageA(GetDlgItem(hWnd, IDOK), BM_CLICK, 0, 0);
}

ProgramUser::ProgramUser(DWORD programThread, const std::atomic<bool>& programEnded)
    : m_programThread(programThread), m_programEnded(programEnded) {
  m_hDialog = WaitForWindow("the main dialog", IsMainDialog);
}

std::string ProgramUser::Text(int id) const { return WindowText(Control(id)); }

std::vector<std::string> ProgramUser::Entries() const {
  return ItemTexts(Control(IDC_RECGAME_LIST), LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

std::vector<std::string> ProgramUser::Choices() const {
  return ItemTexts(Control(IDC_SCRIPT), CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

HWND ProgramUser::Focus() const {
  GUITHREADINFO info{.cbSize = sizeof(GUITHREADINFO)};
  return GetGUIThreadInfo(m_programThread, &info) ? info.hwndFocus : nullptr;
}

void ProgramUser::Type(int id, const std::string& text) const {
  SendMessageW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(platform::WideFromUtf8(text).c_str()));
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
                                     reinterpret_cast<LPARAM>(platform::WideFromUtf8(entry).c_str()));
  if (index == LB_ERR) throw std::runtime_error("the list has no entry " + entry);
  SendMessageA(hList, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(m_hDialog, WM_COMMAND, MAKEWPARAM(IDC_RECGAME_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(hList));
}

std::string ProgramUser::WaitForGameLine() const {
  // The line is empty from a change of selection until the game has been read.
  WaitUntil([&] { return !Text(IDC_STATUS_LINE).empty(); }, "the selected game was not read");
  return Text(IDC_STATUS_LINE);
}

void ProgramUser::Click(int id) const { PressButton(m_hDialog, id); }

void ProgramUser::DoubleClick(const std::string& entry) const {
  Select(entry);
  const HWND hList = Control(IDC_RECGAME_LIST);
  RECT item{};
  SendMessageA(hList, LB_GETITEMRECT, SendMessageA(hList, LB_GETCURSEL, 0, 0), reinterpret_cast<LPARAM>(&item));
  const LPARAM point = MAKELPARAM(item.left + 2, (item.top + item.bottom) / 2);
  PostMessageA(hList, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
  PostMessageA(hList, WM_LBUTTONUP, 0, point);
}

void ProgramUser::Drop(const std::vector<std::string>& paths) const {
  // DROPFILES, then each UTF-16 name and its zero, and one more zero (GHND zeroes); DragFinish frees it.
  std::wstring names;
  for (const std::string& path : paths) names += platform::WideFromUtf8(path) + L'\0';
  const HGLOBAL hDrop = GlobalAlloc(GHND, sizeof(DROPFILES) + (names.size() + 1) * sizeof(wchar_t));
  auto* pDrop = static_cast<DROPFILES*>(GlobalLock(hDrop));
  *pDrop = DROPFILES{.pFiles = sizeof(DROPFILES), .fWide = TRUE};
  std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t*>(pDrop + 1));
  GlobalUnlock(hDrop);
  PostMessageW(m_hDialog, WM_DROPFILES, reinterpret_cast<WPARAM>(hDrop), 0);
  Settle();
}

void ProgramUser::Settle() const {
  // A limit the folder box never had before: once the program's thread has set it, it has handled
  // everything posted before it. Posted messages are handled in order, by whichever loop runs.
  const WPARAM marker = 100000 + ++m_nSettles;
  const HWND hFolder = Control(IDC_FOLDER);
  PostMessageA(hFolder, EM_SETLIMITTEXT, marker, 0);
  WaitUntil(
      [&] { return m_programEnded || static_cast<WPARAM>(SendMessageA(hFolder, EM_GETLIMITTEXT, 0, 0)) == marker; },
      "the program stopped handling messages");
}

std::vector<HWND> ProgramUser::OtherWindows() const {
  std::vector<HWND> windows = VisibleWindows(m_programThread);
  std::erase(windows, m_hDialog);
  return windows;
}

HWND ProgramUser::WaitForWindow(const char* what, const std::function<bool(HWND)>& fits) const {
  HWND hFound = nullptr;
  WaitUntil(
      [&] {
        for (const HWND hWnd : OtherWindows()) {
          if (fits(hWnd)) hFound = hWnd;
        }
        return hFound != nullptr;
      },
      std::string(what) + " did not appear");
  return hFound;
}

void ProgramUser::WaitUntilGone(HWND hWnd) const {
  WaitUntil([hWnd] { return !IsWindow(hWnd) || !IsWindowVisible(hWnd); }, "a window did not go: " + WindowText(hWnd));
}

MessageBoxSeen ProgramUser::AnswerMessageBox(int answer) const {
  const HWND hBox = WaitForWindow("a message box", [](HWND hWnd) {
    return IsDialogWindow(hWnd) && FileNameBox(hWnd) == nullptr && !StaticTexts(hWnd).empty();
  });
  MessageBoxSeen seen{WindowText(hBox), {}, GetWindow(hBox, GW_OWNER)};
  for (const std::string& text : StaticTexts(hBox)) seen.text += text;
  PressButton(hBox, answer);
  WaitUntilGone(hBox);
  return seen;
}

SaveDialog ProgramUser::WaitForSaveDialog() const {
  return SaveDialog{WaitForWindow("the save dialog", [](HWND hWnd) { return FileNameBox(hWnd) != nullptr; })};
}

HWND ProgramUser::WaitForFolderBrowser(const std::string& selected) const {
  const HWND hBrowser = WaitForWindow("the folder browser", [](HWND hWnd) {
    const std::vector<std::string> texts = StaticTexts(hWnd);
    return std::find(texts.begin(), texts.end(), "Select Recgame Folder") != texts.end();
  });
  const HWND hTree = FindWindowExW(hBrowser, nullptr, WC_TREEVIEWW, nullptr);
  const auto shown = [hTree] {
    wchar_t text[MAX_PATH] = {};
    TVITEMW item{.mask = TVIF_TEXT, .hItem = TreeView_GetSelection(hTree), .pszText = text, .cchTextMax = MAX_PATH};
    return item.hItem != nullptr && SendMessageW(hTree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))
               ? platform::Utf8FromWide(text)
               : std::string();
  };
  WaitUntil([&] { return hTree != nullptr && shown() == selected; }, "the folder browser did not select " + selected);
  return hBrowser;
}

void ProgramUser::PressButton(HWND hWnd, int id) const { PostMessageA(GetDlgItem(hWnd, id), BM_CLICK, 0, 0); }

BOOL RunProgram(const std::function<void(ProgramUser&)>& user, const std::vector<std::string>& arguments) {
  // A test may make one of its folders the current one; the folders must stay removable.
  const std::filesystem::path currentFolder = std::filesystem::current_path();
  const DWORD programThread = GetCurrentThreadId();
  std::atomic<bool> programEnded{false};
  std::thread userThread([&] {
    try {
      ProgramUser programUser(programThread, programEnded);
      user(programUser);
      // The dialog's Close command, as the caption's close button gives it.
      if (!programEnded) PostMessageA(programUser.Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
      WaitUntil([&] { return programEnded.load(); }, "the dialog did not close");
    } catch (const std::exception& error) {
      ADD_FAILURE() << error.what();
    }
    CloseEverything(programThread, programEnded);
  });
  // Quoted as Explorer quotes a file it opens a program with; the program's name comes first.
  std::wstring commandLine = L"Velkorin.exe";
  for (const std::string& argument : arguments) commandLine += L" \"" + platform::WideFromUtf8(argument) + L"\"";
  theApp.m_lpCmdLine = commandLine.c_str();
  const BOOL result = theApp.InitInstance();
  theApp.m_lpCmdLine = nullptr;
  programEnded = true;
  userThread.join();
  std::filesystem::current_path(currentFolder);
  return result;
}

}  // namespace frontend_test
