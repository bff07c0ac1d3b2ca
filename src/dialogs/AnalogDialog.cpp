#include "dialogs/AnalogDialog.h"

#include "dialogs/AnalogPage.h"
#include "dialogs/DialogIds.h"
#include "dialogs/DialogTexts.h"
#include "dialogs/TabFrame.h"

namespace {

class CAnalogDialog : public CTabFrame {
 public:
  explicit CAnalogDialog(AnalogDialogContext& context) : context_(context), page_(context) {}

  int Run(HWND owner) { return static_cast<int>(RunModal(owner, IDD_ANALOG_JA, IDD_ANALOG_EN)); }

 private:
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_INITDIALOG:
        AddTab(kAnalogTab, page_.Create(Tabs()));
        context_.openPage = page_.Window();
        return TRUE;
      case WM_DESTROY:
        context_.openPage = nullptr;
        return FALSE;
      case WM_COMMAND:
        return OnCommand(LOWORD(wParam));
      default:
        return OnTabMessage(message, wParam, lParam);
    }
  }

  INT_PTR OnCommand(int id) {
    switch (id) {
      case IDOK:
        page_.Collect();
        End(context_.openPage, IDOK);
        return TRUE;
      case IDCANCEL:
        End(context_.openPage, IDCANCEL);
        return TRUE;
      case IDC_DEFAULT:
        page_.Defaults();
        return TRUE;
      default:
        return FALSE;
    }
  }

  AnalogDialogContext& context_;
  CAnalogPage page_;
};

}  // namespace

int RunAnalogDialog(HWND owner, AnalogDialogContext& context) {
  CAnalogDialog dialog(context);
  const int result = dialog.Run(owner);
  context.openPage = nullptr;
  return result;
}
