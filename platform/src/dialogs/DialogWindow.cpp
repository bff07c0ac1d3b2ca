// Dialog windows: the dialog class's procedure (DefDlgProc), creation from a
// template with WM_INITDIALOG, the modal loop and EndDialog.
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "controls/Control.h"
#include "dialogs/Dialog.h"
#include "dialogs/DialogTemplate.h"

namespace tevrin::win32 {

std::shared_ptr<DialogState> DialogStateOf(HWND window) {
  {
    Desktop& desktop = Desktop::Instance();
    std::lock_guard lock(desktop.mutex);
    Window* found = desktop.PeekLocked(window);
    if (!found || found->windowClass->name != kDialogClass) return nullptr;
  }
  return StateOf<DialogState>(window);
}

bool IsWithin(HWND ancestor, HWND window) {
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  for (Window* found = desktop.PeekLocked(window); found; found = desktop.PeekLocked(found->parent)) {
    if (found->handle == ancestor) return true;
  }
  return false;
}

namespace {

// Messages whose dialog-procedure result is the message's result; for the
// others it only says whether the message was handled (DWLP_MSGRESULT holds
// the result then).
bool ReturnsDirectly(UINT message) {
  return message == WM_INITDIALOG || (message >= WM_CTLCOLOREDIT && message <= WM_CTLCOLORSTATIC) ||
         message == 0x0039 /* WM_COMPAREITEM */ || message == 0x002E /* WM_VKEYTOITEM */ ||
         message == 0x002F /* WM_CHARTOITEM */ || message == 0x0037 /* WM_QUERYDRAGICON */;
}

// The ID of the dialog's BS_DEFPUSHBUTTON button, 0 when it has none.
int DefaultButton(HWND dialog) {
  Desktop& desktop = Desktop::Instance();
  std::lock_guard lock(desktop.mutex);
  Window* window = desktop.PeekLocked(dialog);
  if (!window) return 0;
  for (HWND child : window->children) {
    Window* control = desktop.PeekLocked(child);
    if (control && Lowercase(control->windowClass->name.c_str()) == "button" &&
        (control->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
      return static_cast<int>(control->id);
    }
  }
  return 0;
}

std::optional<DialogTemplate> LoadTemplate(HINSTANCE instance, LPCSTR name) {
  HRSRC resource = FindResourceA(instance, name, RT_DIALOG);
  if (!resource) return std::nullopt;
  auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(instance, resource)));
  auto dialog = ReadDialogTemplate(data, SizeofResource(instance, resource));
  if (!dialog) SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return dialog;
}

HWND FirstTabStop(HWND dialog) {
  for (HWND child : ChildrenOf(dialog)) {
    DWORD style = StyleOf(child);
    if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) return child;
  }
  return nullptr;
}

HWND Create(HINSTANCE instance, const DialogTemplate& dialog, HWND parent, DLGPROC procedure, LPARAM param) {
  RECT frame{0, 0, DialogUnitsToPixelsX(dialog.rect.right), DialogUnitsToPixelsY(dialog.rect.bottom)};
  DWORD style = dialog.style & ~WS_VISIBLE;
  AdjustWindowRectEx(&frame, style, FALSE, dialog.exStyle);
  DialogCreation creation{procedure};
  HWND window = CreateWindowExA(dialog.exStyle, kDialogClass, dialog.caption.c_str(), style,
                                DialogUnitsToPixelsX(dialog.rect.left), DialogUnitsToPixelsY(dialog.rect.top),
                                frame.right - frame.left, frame.bottom - frame.top, parent, nullptr, instance,
                                &creation);
  if (!window) return nullptr;
  for (const DialogItemTemplate& item : dialog.items) {
    HWND control = CreateWindowExA(item.exStyle, item.className.c_str(), item.text.c_str(), item.style | WS_CHILD,
                                   DialogUnitsToPixelsX(item.rect.left), DialogUnitsToPixelsY(item.rect.top),
                                   DialogUnitsToPixelsX(item.rect.right), DialogUnitsToPixelsY(item.rect.bottom),
                                   window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)), instance, nullptr);
    if (!control && !(dialog.style & DS_NOFAILCREATE)) {
      DWORD error = GetLastError();
      DestroyWindow(window);
      SetLastError(error);
      return nullptr;
    }
  }
  HWND focus = FirstTabStop(window);
  if (SendMessageA(window, WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), param) && focus) SetFocus(focus);
  if (!IsWindow(window)) return nullptr;
  if (dialog.style & WS_VISIBLE) ShowWindow(window, SW_SHOWNORMAL);
  return window;
}

// Without a display nobody could answer a dialog; only the opt-in headless
// mode runs one, for programs that drive it with messages.
bool HeadlessDialogsEnabled() {
  const char* value = std::getenv("TEVRIN_HEADLESS_DIALOGS");
  return value != nullptr && std::strcmp(value, "1") == 0;
}

INT_PTR RunModal(HWND dialog, const DialogState& state) {
  if (!state.ended) ShowWindow(dialog, SW_SHOWNORMAL);
  MSG message{};
  while (!state.ended && IsWindow(dialog)) {
    BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));  // for the caller's own loop
      return 0;
    }
    if (got == -1) return -1;
    if (!IsDialogMessageA(dialog, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return state.ended ? state.result.load() : 0;
}

}  // namespace

LRESULT CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    auto* creation = create ? static_cast<const DialogCreation*>(create->lpCreateParams) : nullptr;
    if (creation) SetWindowLongPtrA(window, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(creation->procedure));
    return DefWindowProcA(window, message, wParam, lParam);
  }
  auto procedure = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(window, DWLP_DLGPROC));
  if (procedure) {
    INT_PTR handled = procedure(window, message, wParam, lParam);
    if (handled) return ReturnsDirectly(message) ? handled : GetWindowLongPtrA(window, DWLP_MSGRESULT);
  }
  return DefDlgProcA(window, message, wParam, lParam);
}

}  // namespace tevrin::win32

using tevrin::win32::DialogStateOf;

extern "C" LRESULT WINAPI DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
      return 0;
    case DM_GETDEFID: {
      auto state = DialogStateOf(dialog);
      int id = state && state->defaultId ? state->defaultId : tevrin::win32::DefaultButton(dialog);
      return id ? MAKELONG(id, DC_HASDEFID) : 0;
    }
    case DM_SETDEFID:
      if (auto state = DialogStateOf(dialog)) state->defaultId = static_cast<int>(wParam);
      return TRUE;
    default:
      return DefWindowProcA(dialog, message, wParam, lParam);
  }
}

extern "C" INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC procedure,
                                          LPARAM param) {
  auto dialog = tevrin::win32::LoadTemplate(instance, name);
  if (!dialog) return -1;
  if (!tevrin::win32::HeadlessDialogsEnabled()) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return -1;
  }
  // As on Windows the owner takes no input while its modal dialog runs.
  bool disableOwner = parent != nullptr && IsWindowEnabled(parent);
  if (disableOwner) EnableWindow(parent, FALSE);
  HWND window = tevrin::win32::Create(instance, *dialog, parent, procedure, param);
  INT_PTR result = -1;
  if (window) {
    auto state = DialogStateOf(window);
    result = tevrin::win32::RunModal(window, *state);
    DestroyWindow(window);
  }
  if (disableOwner) EnableWindow(parent, TRUE);
  return result;
}

extern "C" HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC procedure,
                                          LPARAM param) {
  auto dialog = tevrin::win32::LoadTemplate(instance, name);
  return dialog ? tevrin::win32::Create(instance, *dialog, parent, procedure, param) : nullptr;
}

extern "C" BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
  auto state = DialogStateOf(dialog);
  if (!state) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  state->result = result;
  state->ended = true;
  ShowWindow(dialog, SW_HIDE);
  PostMessageA(dialog, WM_NULL, 0, 0);  // wakes the modal loop when called from elsewhere
  return TRUE;
}
