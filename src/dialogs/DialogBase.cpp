#include "dialogs/DialogBase.h"

#include "dialogs/DialogLanguage.h"

namespace {

LPCSTR TemplateName(int japaneseId, int englishId) {
  return MAKEINTRESOURCEA(UseJapaneseTemplates() ? japaneseId : englishId);
}

}  // namespace

INT_PTR CDialogBase::RunModal(HWND owner, int japaneseId, int englishId) {
  return DialogBoxParamA(DialogModule(), TemplateName(japaneseId, englishId), owner, &CDialogBase::Procedure,
                         reinterpret_cast<LPARAM>(this));
}

// The child's control ID is its template's ID, so that the parent finds it.
HWND CDialogBase::CreateChild(HWND parent, int japaneseId, int englishId) {
  const int id = UseJapaneseTemplates() ? japaneseId : englishId;
  HWND child = CreateDialogParamA(DialogModule(), MAKEINTRESOURCEA(id), parent, &CDialogBase::Procedure,
                                  reinterpret_cast<LPARAM>(this));
  if (child) SetWindowLongPtrA(child, GWLP_ID, id);
  return child;
}

INT_PTR CALLBACK CDialogBase::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<CDialogBase*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
    dialog->window_ = window;
    return dialog->OnMessage(message, wParam, lParam);
  }
  auto* dialog = reinterpret_cast<CDialogBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!dialog) return FALSE;
  const INT_PTR handled = dialog->OnMessage(message, wParam, lParam);
  if (message == WM_DESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    dialog->window_ = nullptr;
  }
  return handled;
}
