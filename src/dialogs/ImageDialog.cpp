#include "dialogs/ImageDialog.h"

#include <memory>

#include "dialogs/DialogIds.h"
#include "dialogs/DialogNotices.h"
#include "dialogs/DialogTexts.h"
#include "dialogs/ImagePage.h"
#include "dialogs/TabFrame.h"

namespace {

class CImageDialog : public CTabFrame {
 public:
  explicit CImageDialog(ImageDialogContext& context)
      : context_(context),
        imagePage_(MakeImageFilterPage(context.image, !context.monochrome)),
        grayPage_(context.monochrome ? MakeGrayFilterPage(context.image) : nullptr) {}

  int Run(HWND owner) { return static_cast<int>(RunModal(owner, IDD_IMAGE_JA, IDD_IMAGE_EN)); }

 private:
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_INITDIALOG:
        AddTab(kImageFilterTab, imagePage_->Create(Tabs(), IDD_IMAGE_FILTER_JA, IDD_IMAGE_FILTER_EN));
        if (grayPage_) AddTab(kGrayFilterTab, grayPage_->Create(Tabs(), IDD_GRAY_FILTER_JA, IDD_GRAY_FILTER_EN));
        context_.openDialog = Window();
        return TRUE;
      case WM_DESTROY:
        context_.openDialog = nullptr;
        return FALSE;
      case kImageMeasuredNotice:
        RefreshPages();
        return TRUE;
      case WM_COMMAND:
        return OnCommand(LOWORD(wParam));
      default:
        return OnTabMessage(message, wParam, lParam);
    }
  }

  INT_PTR OnCommand(int id) {
    switch (id) {
      case IDOK:
        imagePage_->Collect();
        if (grayPage_) grayPage_->Collect();
        End(context_.openDialog, IDOK);
        return TRUE;
      case IDCANCEL:
        End(context_.openDialog, IDCANCEL);
        return TRUE;
      case IDC_DEFAULT:
        Defaults();
        return TRUE;
      default:
        return FALSE;
    }
  }

  // The filters become neutral; the gray values only when their page is
  // there, so a colour mode keeps them.
  void Defaults() {
    const bool gray = grayPage_ != nullptr;
    context_.image.Change([gray](ImageSettings& image) {
      image.brightness = image.contrast = image.hue = image.saturation = image.sharpness = 0;
      image.bayerGainRed = image.bayerGainGreen = image.bayerGainBlue = image.gamma = 100;
      image.bayerMode = 3;
      if (!gray) return;
      image.grayGainR = image.grayGainG1 = image.grayGainG2 = image.grayGainB = kGrayGainDefault;
      image.grayOffsetR = image.grayOffsetG1 = image.grayOffsetG2 = image.grayOffsetB = kGrayOffsetDefault;
    });
    RefreshPages();
  }

  void RefreshPages() {
    imagePage_->Refresh();
    if (grayPage_) grayPage_->Refresh();
  }

  ImageDialogContext& context_;
  std::unique_ptr<CImagePage> imagePage_;
  std::unique_ptr<CImagePage> grayPage_;
};

}  // namespace

int RunImageDialog(HWND owner, ImageDialogContext& context) {
  CImageDialog dialog(context);
  const int result = dialog.Run(owner);
  context.openDialog = nullptr;
  return result;
}
