#include "dialogs/TabFrame.h"

#include <commctrl.h>

#include "dialogs/DialogIds.h"

namespace {

constexpr int kPageX = 30;
constexpr int kPageY = 25;

}  // namespace

CTabFrame::CTabFrame() : headerBrush_(CreateSolidBrush(GetSysColor(COLOR_BTNFACE))) {}

CTabFrame::~CTabFrame() {
  if (headerBrush_) DeleteObject(headerBrush_);
}

void CTabFrame::AddTab(const char* text, HWND page) {
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<char*>(text);
  const int index = static_cast<int>(pages_.size());
  SendMessageA(Tabs(), TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  pages_.push_back(page);
  if (page) SetWindowPos(page, nullptr, kPageX, kPageY, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ShowSelectedPage();
}

INT_PTR CTabFrame::OnTabMessage(UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->idFrom != IDC_TAB || header->code != static_cast<UINT>(TCN_SELCHANGE)) return FALSE;
    ShowSelectedPage();
    return TRUE;
  }
  if (message == WM_DRAWITEM) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item->CtlID != IDC_TAB) return FALSE;
    DrawHeader(*item);
    return TRUE;
  }
  return FALSE;
}

void CTabFrame::ShowSelectedPage() {
  const int selected = static_cast<int>(SendMessageA(Tabs(), TCM_GETCURSEL, 0, 0));
  for (size_t i = 0; i < pages_.size(); ++i) {
    if (pages_[i]) ShowWindow(pages_[i], static_cast<int>(i) == selected ? SW_SHOW : SW_HIDE);
  }
}

void CTabFrame::DrawHeader(const DRAWITEMSTRUCT& item) {
  char text[64] = {};
  TCITEMA tab{};
  tab.mask = TCIF_TEXT;
  tab.pszText = text;
  tab.cchTextMax = sizeof text;
  SendMessageA(Tabs(), TCM_GETITEMA, item.itemID, reinterpret_cast<LPARAM>(&tab));
  RECT rect = item.rcItem;
  FillRect(item.hDC, &rect, headerBrush_);
  SetBkMode(item.hDC, TRANSPARENT);
  DrawTextA(item.hDC, text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
