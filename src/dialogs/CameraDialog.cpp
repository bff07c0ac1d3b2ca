#include "dialogs/CameraDialog.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "dialogs/DialogIds.h"
#include "dialogs/DialogTexts.h"
#include "dialogs/TabFrame.h"
#include "settings/StoredSettings.h"

namespace {

constexpr int kGrayBits = 12;
constexpr int kFastClockMHz = 54;
constexpr int kFastClock = 2;  // the clock combo always shows the fast clock
constexpr int kSkipCode = 1;
constexpr const char* kSubSamples[] = {"1/1", "1/2 Skip"};
// The edit boxes of a size entry, in the order of its values.
constexpr std::array<std::pair<int, int Geometry::*>, 6> kEntryEdits = {{
    {IDC_TOTAL_H, &Geometry::TH},
    {IDC_TOTAL_V, &Geometry::TV},
    {IDC_EFFECTIVE_H, &Geometry::EH},
    {IDC_EFFECTIVE_V, &Geometry::EV},
    {IDC_START_H, &Geometry::EHS},
    {IDC_START_V, &Geometry::EVS},
}};

void AddItem(HWND dialog, int combo, const std::string& text) {
  SendDlgItemMessageA(dialog, combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int Selection(HWND dialog, int combo) {
  return static_cast<int>(SendDlgItemMessageA(dialog, combo, CB_GETCURSEL, 0, 0));
}

void Select(HWND dialog, int combo, int index) {
  SendDlgItemMessageA(dialog, combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Enable(HWND dialog, int id, bool enabled) {
  EnableWindow(GetDlgItem(dialog, id), enabled);
}

// Full sensor frame with the effective window at its origin: what "1/2 Skip"
// delivers halved.
bool IsSkipEntry(const Geometry& g) {
  return g.EH == Geometry::kMaxWidth && g.EV == Geometry::kMaxHeight && g.EHS == 0 && g.EVS == 0;
}

class CCameraDialog : public CTabFrame {
 public:
  explicit CCameraDialog(const CameraDialogContext& context) : context_(context) {}

  int Run(HWND owner) { return static_cast<int>(RunModal(owner, IDD_CAMERA_JA, IDD_CAMERA_EN)); }

 private:
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_INITDIALOG) {
      Open();
      return TRUE;
    }
    if (message == WM_COMMAND) return OnCommand(LOWORD(wParam), HIWORD(wParam));
    return OnTabMessage(message, wParam, lParam);
  }

  void Open() {
    AddTab(Texts().streamFormatTab, nullptr);
    LoadSizeTable(context_.deviceNumber, context_.capabilities, &table_);
    FillColorModes();
    FillSizes();
    for (const char* text : kSubSamples) AddItem(Window(), IDC_SUBSAMPLE, text);
    Select(Window(), IDC_SUBSAMPLE, table_.format.subSample == kSkipCode ? 1 : 0);
    for (const char* text : Texts().clocks) AddItem(Window(), IDC_CLOCK, Format(text, kFastClockMHz));
    Select(Window(), IDC_CLOCK, kFastClock);
    Enable(Window(), IDC_CLOCK, false);
    ShowEntry(table_.selected);
    SetDlgItemInt(Window(), IDC_WAIT_TIME, static_cast<UINT>(table_.format.waitTime), TRUE);
    UpdateEnabled();
    Enable(Window(), IDC_APPLY, false);
    opened_ = true;
  }

  // The sensor's modes in mode order; a sensor without colour is held to
  // its deepest gray mode.
  void FillColorModes() {
    const OutputCapabilities& caps = context_.capabilities;
    const bool offered[] = {caps.gray8, caps.gray16, caps.color, caps.color, caps.color, caps.color};
    if (!caps.color && caps.gray16) table_.format.colorMode = 1;
    if (!caps.color && !caps.gray16 && caps.gray8) table_.format.colorMode = 0;
    for (int mode = 0; mode < 6; ++mode) {
      if (!offered[mode]) continue;
      modes_.push_back(mode);
      AddItem(Window(), IDC_COLOR_MODE, Format(Texts().colorModes[mode], kGrayBits));
    }
    const auto found = std::find(modes_.begin(), modes_.end(), table_.format.colorMode);
    Select(Window(), IDC_COLOR_MODE, found == modes_.end() ? 0 : static_cast<int>(found - modes_.begin()));
  }

  void FillSizes() {
    SendDlgItemMessageA(Window(), IDC_SIZE, CB_RESETCONTENT, 0, 0);
    for (const Geometry& g : table_.entries) AddItem(Window(), IDC_SIZE, SizeLabel(g.EH, g.EV));
    AddItem(Window(), IDC_SIZE, Texts().custom);
    const int count = static_cast<int>(table_.entries.size());
    Select(Window(), IDC_SIZE, table_.selected >= 0 && table_.selected < count ? table_.selected : count);
  }

  void ShowEntry(int index) {
    if (index < 0 || index >= static_cast<int>(table_.entries.size())) return;
    const Geometry& g = table_.entries[static_cast<size_t>(index)];
    for (const auto& [id, field] : kEntryEdits) SetDlgItemInt(Window(), id, static_cast<UINT>(g.*field), TRUE);
  }

  bool Skipping() const { return Selection(Window(), IDC_SUBSAMPLE) == 1; }

  void UpdateEnabled() {
    const bool skip = Skipping();
    const bool width = context_.freeWidth;
    const bool height = context_.freeHeight;
    Enable(Window(), IDC_SIZE, !skip && (width || height));
    Enable(Window(), IDC_TOTAL_H, width);
    Enable(Window(), IDC_TOTAL_V, height);
    Enable(Window(), IDC_EFFECTIVE_H, width && !skip);
    Enable(Window(), IDC_EFFECTIVE_V, height && !skip);
    Enable(Window(), IDC_START_H, width && !skip);
    Enable(Window(), IDC_START_V, height && !skip);
  }

  // "1/2 Skip" reads the whole sensor: its entry is selected, made when missing.
  void SelectSkipEntry() {
    auto found = std::find_if(table_.entries.begin(), table_.entries.end(), IsSkipEntry);
    if (found == table_.entries.end()) found = table_.entries.insert(table_.entries.end(), Geometry{});
    table_.selected = static_cast<int>(found - table_.entries.begin());
    FillSizes();
    ShowEntry(table_.selected);
  }

  INT_PTR OnCommand(int id, int code) {
    switch (id) {
      case IDOK:
        Store();
        EndDialog(Window(), IDOK);
        return TRUE;
      case IDCANCEL:
        EndDialog(Window(), IDCANCEL);
        return TRUE;
      case IDC_APPLY:
        if (code != BN_CLICKED) return FALSE;
        Store();
        return TRUE;
      default:
        break;
    }
    if (code == CBN_SELCHANGE) {
      if (id == IDC_SIZE) ShowEntry(Selection(Window(), IDC_SIZE));
      if (id == IDC_SUBSAMPLE) {
        if (Skipping()) SelectSkipEntry();
        UpdateEnabled();
      }
    }
    if (opened_ && (code == CBN_SELCHANGE || code == EN_CHANGE)) Enable(Window(), IDC_APPLY, true);
    return code == CBN_SELCHANGE || code == EN_CHANGE;
  }

  int EditValue(int id) const {
    BOOL translated = FALSE;
    const int value = static_cast<int>(GetDlgItemInt(Window(), id, &translated, TRUE));
    return translated ? value : 0;
  }

  // The controls become the stored table and format; "Custom" appends the
  // edited entry, any other selection takes the edits.
  void Store() {
    const int mode = Selection(Window(), IDC_COLOR_MODE);
    if (mode >= 0 && mode < static_cast<int>(modes_.size())) table_.format.colorMode = modes_[static_cast<size_t>(mode)];
    table_.format.subSample = Skipping() ? kSkipCode : 0;
    table_.format.clock = kFastClock;
    table_.format.waitTime = std::clamp(EditValue(IDC_WAIT_TIME), 0, kMaxWaitTimeMs);
    Geometry edited = Geometry{};
    const int size = Selection(Window(), IDC_SIZE);
    const bool custom = size < 0 || size >= static_cast<int>(table_.entries.size());
    if (!custom) edited = table_.entries[static_cast<size_t>(size)];
    for (const auto& [id, field] : kEntryEdits) edited.*field = EditValue(id);
    if (custom) {
      table_.entries.push_back(edited);
      table_.selected = static_cast<int>(table_.entries.size()) - 1;
    } else {
      table_.entries[static_cast<size_t>(size)] = edited;
      table_.selected = size;
    }
    SaveSizeTable(context_.deviceNumber, table_);
    opened_ = false;
    FillSizes();
    opened_ = true;
    Enable(Window(), IDC_APPLY, false);
  }

  CameraDialogContext context_;
  SizeTable table_;
  std::vector<int> modes_;  // the colour mode of each item of the colour combo
  bool opened_ = false;
};

}  // namespace

int RunCameraDialog(HWND owner, const CameraDialogContext& context) {
  CCameraDialog dialog(context);
  return dialog.Run(owner);
}
