/*
 * Common controls of the Win32 subset: trackbar, up-down and tab control.
 * Like the standard controls they keep their state and answer their messages;
 * a display backend draws them. Include after windows.h.
 */
#ifndef TEVRIN_PLATFORM_COMMCTRL_H
#define TEVRIN_PLATFORM_COMMCTRL_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct tagINITCOMMONCONTROLSEX {
  DWORD dwSize;
  DWORD dwICC;
} INITCOMMONCONTROLSEX, *LPINITCOMMONCONTROLSEX;

#define ICC_LISTVIEW_CLASSES 0x00000001u
#define ICC_TREEVIEW_CLASSES 0x00000002u
#define ICC_BAR_CLASSES 0x00000004u
#define ICC_TAB_CLASSES 0x00000008u
#define ICC_UPDOWN_CLASS 0x00000010u
#define ICC_PROGRESS_CLASS 0x00000020u
#define ICC_WIN95_CLASSES 0x000000FFu
#define ICC_STANDARD_CLASSES 0x00004000u

/* The classes exist from the start; these only check their argument. */
BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX *init);
void WINAPI InitCommonControls(void);

#define NM_FIRST (0U - 0U)
#define NM_CLICK (NM_FIRST - 2)

/* ---- Trackbar ---- */
#define TRACKBAR_CLASSA "msctls_trackbar32"
#define TRACKBAR_CLASSW L"msctls_trackbar32"
#define TRACKBAR_CLASS TRACKBAR_CLASSA

#define TBS_AUTOTICKS 0x0001u
#define TBS_VERT 0x0002u
#define TBS_HORZ 0x0000u
#define TBS_TOP 0x0004u
#define TBS_BOTTOM 0x0000u
#define TBS_LEFT 0x0004u
#define TBS_RIGHT 0x0000u
#define TBS_BOTH 0x0008u
#define TBS_NOTICKS 0x0010u
#define TBS_ENABLESELRANGE 0x0020u
#define TBS_FIXEDLENGTH 0x0040u
#define TBS_NOTHUMB 0x0080u
#define TBS_TOOLTIPS 0x0100u
#define TBS_REVERSED 0x0200u
#define TBS_DOWNISLEFT 0x0400u

#define TBM_GETPOS (WM_USER)
#define TBM_GETRANGEMIN (WM_USER + 1)
#define TBM_GETRANGEMAX (WM_USER + 2)
#define TBM_GETTIC (WM_USER + 3)
#define TBM_SETTIC (WM_USER + 4)
#define TBM_SETPOS (WM_USER + 5)
#define TBM_SETRANGE (WM_USER + 6)
#define TBM_SETRANGEMIN (WM_USER + 7)
#define TBM_SETRANGEMAX (WM_USER + 8)
#define TBM_CLEARTICS (WM_USER + 9)
#define TBM_GETNUMTICS (WM_USER + 16)
#define TBM_SETTICFREQ (WM_USER + 20)
#define TBM_SETPAGESIZE (WM_USER + 21)
#define TBM_GETPAGESIZE (WM_USER + 22)
#define TBM_SETLINESIZE (WM_USER + 23)
#define TBM_GETLINESIZE (WM_USER + 24)

#define TB_LINEUP 0
#define TB_LINEDOWN 1
#define TB_PAGEUP 2
#define TB_PAGEDOWN 3
#define TB_THUMBPOSITION 4
#define TB_THUMBTRACK 5
#define TB_TOP 6
#define TB_BOTTOM 7
#define TB_ENDTRACK 8

/* ---- Up-down control ---- */
#define UPDOWN_CLASSA "msctls_updown32"
#define UPDOWN_CLASSW L"msctls_updown32"
#define UPDOWN_CLASS UPDOWN_CLASSA

#define UDS_WRAP 0x0001u
#define UDS_SETBUDDYINT 0x0002u
#define UDS_ALIGNRIGHT 0x0004u
#define UDS_ALIGNLEFT 0x0008u
#define UDS_AUTOBUDDY 0x0010u
#define UDS_ARROWKEYS 0x0020u
#define UDS_HORZ 0x0040u
#define UDS_NOTHOUSANDS 0x0080u
#define UDS_HOTTRACK 0x0100u

#define UD_MAXVAL 0x7fff
#define UD_MINVAL (-UD_MAXVAL)

#define UDM_SETRANGE (WM_USER + 101)
#define UDM_GETRANGE (WM_USER + 102)
#define UDM_SETPOS (WM_USER + 103)
#define UDM_GETPOS (WM_USER + 104)
#define UDM_SETBUDDY (WM_USER + 105)
#define UDM_GETBUDDY (WM_USER + 106)
#define UDM_SETBASE (WM_USER + 109)
#define UDM_GETBASE (WM_USER + 110)
#define UDM_SETRANGE32 (WM_USER + 111)
#define UDM_GETRANGE32 (WM_USER + 112)
#define UDM_SETPOS32 (WM_USER + 113)
#define UDM_GETPOS32 (WM_USER + 114)

#define UDN_FIRST (0U - 721)
#define UDN_DELTAPOS (UDN_FIRST - 1)

typedef struct _NM_UPDOWN {
  NMHDR hdr;
  int iPos;
  int iDelta;
} NMUPDOWN, *LPNMUPDOWN;

/* ---- Tab control ---- */
#define WC_TABCONTROLA "SysTabControl32"
#define WC_TABCONTROLW L"SysTabControl32"
#define WC_TABCONTROL WC_TABCONTROLA

#define TCS_SCROLLOPPOSITE 0x0001u
#define TCS_BOTTOM 0x0002u
#define TCS_RIGHT 0x0002u
#define TCS_FLATBUTTONS 0x0008u
#define TCS_FORCEICONLEFT 0x0010u
#define TCS_FORCELABELLEFT 0x0020u
#define TCS_HOTTRACK 0x0040u
#define TCS_VERTICAL 0x0080u
#define TCS_TABS 0x0000u
#define TCS_BUTTONS 0x0100u
#define TCS_SINGLELINE 0x0000u
#define TCS_MULTILINE 0x0200u
#define TCS_RIGHTJUSTIFY 0x0000u
#define TCS_FIXEDWIDTH 0x0400u
#define TCS_RAGGEDRIGHT 0x0800u
#define TCS_FOCUSONBUTTONDOWN 0x1000u
#define TCS_OWNERDRAWFIXED 0x2000u
#define TCS_TOOLTIPS 0x4000u
#define TCS_FOCUSNEVER 0x8000u

#define ODT_TAB 101

#define TCIF_TEXT 0x0001u
#define TCIF_IMAGE 0x0002u
#define TCIF_RTLREADING 0x0004u
#define TCIF_PARAM 0x0008u
#define TCIF_STATE 0x0010u

#define TCIS_BUTTONPRESSED 0x0001u
#define TCIS_HIGHLIGHTED 0x0002u

typedef struct tagTCITEMA {
  UINT mask;
  DWORD dwState;
  DWORD dwStateMask;
  LPSTR pszText;
  int cchTextMax;
  int iImage;
  LPARAM lParam;
} TCITEMA, *LPTCITEMA;

typedef struct tagTCITEMW {
  UINT mask;
  DWORD dwState;
  DWORD dwStateMask;
  LPWSTR pszText;
  int cchTextMax;
  int iImage;
  LPARAM lParam;
} TCITEMW, *LPTCITEMW;

typedef TCITEMA TCITEM;
typedef LPTCITEMA LPTCITEM;
typedef TCITEMA TC_ITEM;

#define TCM_FIRST 0x1300u
#define TCM_GETITEMCOUNT (TCM_FIRST + 4)
#define TCM_GETITEMA (TCM_FIRST + 5)
#define TCM_SETITEMA (TCM_FIRST + 6)
#define TCM_INSERTITEMA (TCM_FIRST + 7)
#define TCM_DELETEITEM (TCM_FIRST + 8)
#define TCM_DELETEALLITEMS (TCM_FIRST + 9)
#define TCM_GETITEMRECT (TCM_FIRST + 10)
#define TCM_GETCURSEL (TCM_FIRST + 11)
#define TCM_SETCURSEL (TCM_FIRST + 12)
#define TCM_ADJUSTRECT (TCM_FIRST + 40)
#define TCM_SETITEMSIZE (TCM_FIRST + 41)
#define TCM_GETITEMW (TCM_FIRST + 60)
#define TCM_SETITEMW (TCM_FIRST + 61)
#define TCM_INSERTITEMW (TCM_FIRST + 62)
#define TCM_GETITEM TCM_GETITEMA
#define TCM_SETITEM TCM_SETITEMA
#define TCM_INSERTITEM TCM_INSERTITEMA

#define TCN_FIRST (0U - 550)
#define TCN_SELCHANGE (TCN_FIRST - 1)
#define TCN_SELCHANGING (TCN_FIRST - 2)

#define TabCtrl_GetItemCount(tab) ((int)SendMessageA((tab), TCM_GETITEMCOUNT, 0, 0))
#define TabCtrl_InsertItem(tab, index, item) \
  ((int)SendMessageA((tab), TCM_INSERTITEMA, (WPARAM)(int)(index), (LPARAM)(const TCITEMA *)(item)))
#define TabCtrl_GetItem(tab, index, item) \
  ((BOOL)SendMessageA((tab), TCM_GETITEMA, (WPARAM)(int)(index), (LPARAM)(TCITEMA *)(item)))
#define TabCtrl_GetCurSel(tab) ((int)SendMessageA((tab), TCM_GETCURSEL, 0, 0))
#define TabCtrl_SetCurSel(tab, index) ((int)SendMessageA((tab), TCM_SETCURSEL, (WPARAM)(index), 0))
#define TabCtrl_GetItemRect(tab, index, rect) \
  ((BOOL)SendMessageA((tab), TCM_GETITEMRECT, (WPARAM)(int)(index), (LPARAM)(RECT *)(rect)))
#define TabCtrl_AdjustRect(tab, larger, rect) \
  ((void)SendMessageA((tab), TCM_ADJUSTRECT, (WPARAM)(BOOL)(larger), (LPARAM)(RECT *)(rect)))

#ifdef __cplusplus
}
#endif

#endif /* TEVRIN_PLATFORM_COMMCTRL_H */
