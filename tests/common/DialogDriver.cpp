#include "DialogDriver.h"

#include <commctrl.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace tevrin::test {
namespace {

struct Search {
  int id;
  HWND visible = nullptr;
  HWND any = nullptr;
};

BOOL CALLBACK Match(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  if (GetDlgCtrlID(window) != search->id) return TRUE;
  if (!search->any) search->any = window;
  if (IsWindowVisible(window)) {
    search->visible = window;
    return FALSE;
  }
  return TRUE;
}

std::string Narrow(const wchar_t* text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(size > 0 ? size : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), size, nullptr, nullptr);
  narrow.resize(narrow.size() - 1);
  return narrow;
}

}  // namespace

HWND WaitForDialog(const char* caption, DWORD timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  do {
    HWND dialog = FindWindowA("#32770", caption);
    if (dialog && IsWindowVisible(dialog)) return dialog;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  } while (std::chrono::steady_clock::now() < deadline);
  return nullptr;
}

HWND WaitForDialog(const wchar_t* caption, DWORD timeoutMs) {
  if (caption == nullptr) return WaitForDialog(static_cast<const char*>(nullptr), timeoutMs);
  return WaitForDialog(Narrow(caption).c_str(), timeoutMs);
}

HWND Item(HWND dialog, int id) {
  Search search{id};
  EnumChildWindows(dialog, Match, reinterpret_cast<LPARAM>(&search));
  return search.visible ? search.visible : search.any;
}

void Click(HWND dialog, int id) {
  SendMessageA(Item(dialog, id), BM_CLICK, 0, 0);
}

void Type(HWND dialog, int id, const std::string& text) {
  SendMessageA(Item(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SetTrackbar(HWND dialog, int id, int pos) {
  HWND trackbar = Item(dialog, id);
  SendMessageA(trackbar, TBM_SETPOS, TRUE, pos);
  int actual = static_cast<int>(SendMessageA(trackbar, TBM_GETPOS, 0, 0));
  HWND parent = GetParent(trackbar);
  SendMessageA(parent, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, actual), reinterpret_cast<LPARAM>(trackbar));
  SendMessageA(parent, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(trackbar));
}

void Spin(HWND dialog, int id, int steps) {
  HWND updown = Item(dialog, id);
  for (int i = 0; i < std::abs(steps); ++i) SendMessageA(updown, WM_KEYDOWN, steps > 0 ? VK_UP : VK_DOWN, 0);
}

void Choose(HWND dialog, int id, int index) {
  HWND combo = Item(dialog, id);
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void SelectTab(HWND dialog, int id, int index) {
  HWND tabs = Item(dialog, id);
  RECT header{};
  if (!SendMessageA(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&header))) return;
  SendMessageA(tabs, WM_LBUTTONDOWN, 0, MAKELPARAM((header.left + header.right) / 2, (header.top + header.bottom) / 2));
}

void PressEnter(HWND dialog) {
  PostMessageA(dialog, WM_KEYDOWN, VK_RETURN, 0);
}

void PressEscape(HWND dialog) {
  PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
}

std::string Text(HWND dialog, int id) {
  HWND item = Item(dialog, id);
  std::string text(static_cast<size_t>(GetWindowTextLengthA(item)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(item, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool IsEnabled(HWND dialog, int id) {
  return IsWindowEnabled(Item(dialog, id)) != FALSE;
}

bool IsVisible(HWND dialog, int id) {
  return IsWindowVisible(Item(dialog, id)) != FALSE;
}

bool IsChecked(HWND dialog, int id) {
  return SendMessageA(Item(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::vector<std::string> ComboItems(HWND dialog, int id) {
  HWND combo = Item(dialog, id);
  std::vector<std::string> items;
  auto count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  for (WPARAM i = 0; static_cast<LRESULT>(i) < count; ++i) {
    std::string text(static_cast<size_t>(SendMessageA(combo, CB_GETLBTEXTLEN, i, 0)) + 1, '\0');
    text.resize(static_cast<size_t>(SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
    items.push_back(text);
  }
  return items;
}

int ComboSelection(HWND dialog, int id) {
  return static_cast<int>(SendMessageA(Item(dialog, id), CB_GETCURSEL, 0, 0));
}

std::pair<int, int> TrackbarRange(HWND dialog, int id) {
  HWND trackbar = Item(dialog, id);
  return {static_cast<int>(SendMessageA(trackbar, TBM_GETRANGEMIN, 0, 0)),
          static_cast<int>(SendMessageA(trackbar, TBM_GETRANGEMAX, 0, 0))};
}

int TrackbarPos(HWND dialog, int id) {
  return static_cast<int>(SendMessageA(Item(dialog, id), TBM_GETPOS, 0, 0));
}

std::vector<std::string> TabTexts(HWND dialog, int id) {
  HWND tabs = Item(dialog, id);
  std::vector<std::string> texts;
  auto count = SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0);
  for (WPARAM i = 0; static_cast<LRESULT>(i) < count; ++i) {
    char buffer[256] = {};
    TCITEMA item{.mask = TCIF_TEXT, .dwState = 0, .dwStateMask = 0, .pszText = buffer,
                 .cchTextMax = sizeof buffer, .iImage = 0, .lParam = 0};
    SendMessageA(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
    texts.emplace_back(buffer);
  }
  return texts;
}

int TabSelection(HWND dialog, int id) {
  return static_cast<int>(SendMessageA(Item(dialog, id), TCM_GETCURSEL, 0, 0));
}

}  // namespace tevrin::test
