// A modal dialog from a test template, run headless on its own thread and
// driven from the test thread as a user would: the controls' notifications
// reach the dialog procedure, Enter and Escape press the default and cancel
// buttons, EndDialog's result is returned; without the headless mode nothing
// blocks.
#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "DialogDriver.h"
#include "dialogs/test_ids.h"

namespace {

using namespace tevrin::test;

constexpr int kApplyResult = 42;

// What the dialog procedure saw, read by the test thread.
struct Events {
  std::mutex mutex;
  int initialised = 0;
  std::vector<std::pair<int, int>> commands;  // control ID, notification code
  std::vector<UINT> notifications;
  std::vector<int> scrolls;  // WM_HSCROLL thumb positions

  template <class T>
  bool Contains(const std::vector<T>& list, const T& value) {
    std::lock_guard lock(mutex);
    return std::find(list.begin(), list.end(), value) != list.end();
  }
};

INT_PTR CALLBACK SampleProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  static Events* events = nullptr;
  switch (message) {
    case WM_INITDIALOG: {
      events = reinterpret_cast<Events*>(lParam);
      SendDlgItemMessageA(dialog, IDC_LEVEL, TBM_SETRANGEMIN, FALSE, 0);
      SendDlgItemMessageA(dialog, IDC_LEVEL, TBM_SETRANGEMAX, FALSE, 400);
      SendDlgItemMessageA(dialog, IDC_LEVEL, TBM_SETPAGESIZE, 0, 32);
      SendDlgItemMessageA(dialog, IDC_LEVEL_SPIN, UDM_SETRANGE32, 0, 400);
      SendDlgItemMessageA(dialog, IDC_LEVEL_SPIN, UDM_SETPOS32, 0, 100);
      for (const char* item : {"Low", "High"}) {
        SendDlgItemMessageA(dialog, IDC_MODE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
      }
      SendDlgItemMessageA(dialog, IDC_MODE, CB_SETCURSEL, 0, 0);
      char first[] = "Image", second[] = "Gray";
      for (char* text : {first, second}) {
        TCITEMA tab{.mask = TCIF_TEXT, .dwState = 0, .dwStateMask = 0, .pszText = text, .cchTextMax = 0,
                    .iImage = 0, .lParam = 0};
        SendDlgItemMessageA(dialog, IDC_TABS, TCM_INSERTITEMA, 99, reinterpret_cast<LPARAM>(&tab));
      }
      std::lock_guard lock(events->mutex);
      ++events->initialised;
      return TRUE;
    }
    case WM_COMMAND: {
      int id = LOWORD(wParam);
      {
        std::lock_guard lock(events->mutex);
        events->commands.emplace_back(id, HIWORD(wParam));
      }
      if (id == IDOK || id == IDCANCEL) EndDialog(dialog, id);
      if (id == IDC_APPLY) EndDialog(dialog, kApplyResult);
      return TRUE;
    }
    case WM_NOTIFY: {
      std::lock_guard lock(events->mutex);
      events->notifications.push_back(reinterpret_cast<const NMHDR*>(lParam)->code);
      return TRUE;
    }
    case WM_HSCROLL: {
      std::lock_guard lock(events->mutex);
      if (LOWORD(wParam) == TB_THUMBPOSITION) events->scrolls.push_back(static_cast<SHORT>(HIWORD(wParam)));
      return TRUE;
    }
    default:
      return FALSE;
  }
}

class DialogTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv("LC_ALL", "en_US.UTF-8", 1);
    setenv("TEVRIN_HEADLESS_DIALOGS", "1", 1);
  }
  void TearDown() override {
    if (runner_.joinable()) runner_.join();
    unsetenv("TEVRIN_HEADLESS_DIALOGS");
  }

  HWND Open() {
    runner_ = std::thread([this] {
      result_ = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SAMPLE), nullptr, SampleProcedure,
                                reinterpret_cast<LPARAM>(&events_));
    });
    return WaitForDialog("Property");
  }

  INT_PTR Close() {
    runner_.join();
    return result_;
  }

  Events events_;
  INT_PTR result_ = 0;
  std::thread runner_;
};

TEST_F(DialogTest, WithoutDisplayOrHeadlessModeEndsAtOnce) {
  unsetenv("TEVRIN_HEADLESS_DIALOGS");
  EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SAMPLE), nullptr, SampleProcedure,
                            reinterpret_cast<LPARAM>(&events_)),
            -1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  EXPECT_EQ(events_.initialised, 0);
}

TEST_F(DialogTest, KeysPressTheDefaultAndCancelButtons) {
  struct {
    void (*press)(HWND);
    INT_PTR result;
  } cases[] = {{PressEnter, IDOK}, {PressEscape, IDCANCEL}};
  for (const auto& key : cases) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    key.press(dialog);
    EXPECT_EQ(Close(), key.result);
    EXPECT_FALSE(IsWindow(dialog));
  }
}

TEST_F(DialogTest, EndDialogResultIsReturnedAndDisabledButtonsIgnoreClicks) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  Click(dialog, IDC_APPLY);  // disabled in the template
  EXPECT_FALSE(events_.Contains(events_.commands, {IDC_APPLY, BN_CLICKED}));
  EnableWindow(Item(dialog, IDC_APPLY), TRUE);
  Click(dialog, IDC_APPLY);
  EXPECT_EQ(Close(), kApplyResult);
}

TEST_F(DialogTest, ControlsNotifyTheDialogAsUserActionsDo) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(events_.initialised, 1);

  Type(dialog, IDC_NAME, "abc");
  EXPECT_EQ(Text(dialog, IDC_NAME), "abc");
  EXPECT_TRUE(events_.Contains(events_.commands, {IDC_NAME, EN_CHANGE}));

  Click(dialog, IDC_MIRROR);
  EXPECT_TRUE(IsChecked(dialog, IDC_MIRROR));
  EXPECT_TRUE(events_.Contains(events_.commands, {IDC_MIRROR, BN_CLICKED}));

  Click(dialog, IDC_FIRST);
  Click(dialog, IDC_SECOND);
  EXPECT_FALSE(IsChecked(dialog, IDC_FIRST));
  EXPECT_TRUE(IsChecked(dialog, IDC_SECOND));

  Choose(dialog, IDC_MODE, 1);
  EXPECT_EQ(ComboItems(dialog, IDC_MODE), (std::vector<std::string>{"Low", "High"}));
  EXPECT_EQ(Text(dialog, IDC_MODE), "High");
  EXPECT_TRUE(events_.Contains(events_.commands, {IDC_MODE, CBN_SELCHANGE}));

  SetTrackbar(dialog, IDC_LEVEL, 500);  // beyond the range: the thumb stops at its end
  EXPECT_EQ(TrackbarRange(dialog, IDC_LEVEL), std::make_pair(0, 400));
  EXPECT_EQ(TrackbarPos(dialog, IDC_LEVEL), 400);
  EXPECT_TRUE(events_.Contains(events_.scrolls, 400));

  EXPECT_EQ(Text(dialog, IDC_LEVEL_EDIT), "100");
  Spin(dialog, IDC_LEVEL_SPIN, 2);
  EXPECT_EQ(Text(dialog, IDC_LEVEL_EDIT), "102");
  EXPECT_TRUE(events_.Contains(events_.notifications, static_cast<UINT>(UDN_DELTAPOS)));
  EXPECT_TRUE(events_.Contains(events_.commands, {IDC_LEVEL_EDIT, EN_CHANGE}));

  EXPECT_EQ(TabTexts(dialog, IDC_TABS), (std::vector<std::string>{"Image", "Gray"}));
  SelectTab(dialog, IDC_TABS, 1);
  EXPECT_EQ(TabSelection(dialog, IDC_TABS), 1);
  EXPECT_TRUE(events_.Contains(events_.notifications, static_cast<UINT>(TCN_SELCHANGING)));
  EXPECT_TRUE(events_.Contains(events_.notifications, static_cast<UINT>(TCN_SELCHANGE)));

  Click(dialog, IDOK);
  EXPECT_EQ(Close(), IDOK);
}

}  // namespace
