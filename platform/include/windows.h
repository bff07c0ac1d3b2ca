/*
 * The Win32 subset that the Tevrin SDK and its applications use on Linux.
 *
 * Types, constants and functions keep their Windows names, sizes and
 * semantics (results, GetLastError codes, wait results), so code written for
 * Windows builds and behaves the same here. Only what the SDK needs is
 * declared; see the README for where the behaviour differs from Windows.
 */
#ifndef TEVRIN_PLATFORM_WINDOWS_H
#define TEVRIN_PLATFORM_WINDOWS_H

#include <pthread.h>
#include <stddef.h>
#include <stdint.h>
#include <wchar.h>

#ifdef __cplusplus
extern "C" {
#endif

#define WINAPI
#define CALLBACK
#define APIENTRY
#define WINAPIV
#define CONST const
#define VOID void

#ifndef FALSE
#define FALSE 0
#endif
#ifndef TRUE
#define TRUE 1
#endif
#ifndef NULL
#define NULL 0
#endif

/* ---- Basic types (LLP64 widths: DWORD and LONG are 32 bits) ---- */
typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned char UCHAR;
typedef unsigned short WORD;
typedef unsigned short USHORT;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int INT;
typedef unsigned int UINT;
typedef short SHORT;
typedef char CHAR;
typedef wchar_t WCHAR;
typedef float FLOAT;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef uint64_t DWORD64;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef size_t SIZE_T;
typedef WORD LANGID;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef LONG LSTATUS;
typedef DWORD ACCESS_MASK;
typedef ACCESS_MASK REGSAM;
typedef WORD ATOM;
typedef UINT MMRESULT;

typedef void *PVOID, *LPVOID;
typedef const void *LPCVOID;
typedef BOOL *PBOOL, *LPBOOL;
typedef BYTE *PBYTE, *LPBYTE;
typedef WORD *PWORD, *LPWORD;
typedef DWORD *PDWORD, *LPDWORD;
typedef LONG *PLONG, *LPLONG;
typedef INT *LPINT;
typedef ULONG *PULONG;
typedef CHAR *PSTR, *LPSTR, *PCHAR;
typedef const CHAR *PCSTR, *LPCSTR;
typedef WCHAR *PWSTR, *LPWSTR;
typedef const WCHAR *PCWSTR, *LPCWSTR;

typedef union _LARGE_INTEGER {
  struct {
    DWORD LowPart;
    LONG HighPart;
  } u;
  LONGLONG QuadPart;
} LARGE_INTEGER, *PLARGE_INTEGER;

/* ---- Handles ---- */
typedef void *HANDLE;
typedef HANDLE *PHANDLE, *LPHANDLE;
#define DECLARE_HANDLE(name) \
  struct name##__ {          \
    int unused;              \
  };                         \
  typedef struct name##__ *name
DECLARE_HANDLE(HWND);
DECLARE_HANDLE(HINSTANCE);
DECLARE_HANDLE(HKEY);
DECLARE_HANDLE(HDC);
DECLARE_HANDLE(HBITMAP);
DECLARE_HANDLE(HBRUSH);
DECLARE_HANDLE(HPEN);
DECLARE_HANDLE(HFONT);
DECLARE_HANDLE(HPALETTE);
DECLARE_HANDLE(HICON);
DECLARE_HANDLE(HMENU);
typedef HICON HCURSOR;
typedef HINSTANCE HMODULE;
typedef HANDLE HGDIOBJ;
typedef PVOID HDEVNOTIFY;
typedef HKEY *PHKEY;

#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)

typedef struct _GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
} GUID;
typedef GUID *LPGUID;
typedef const GUID *LPCGUID;
#define REFGUID const GUID *

typedef struct tagPOINT {
  LONG x;
  LONG y;
} POINT, *PPOINT, *LPPOINT;

typedef struct tagSIZE {
  LONG cx;
  LONG cy;
} SIZE, *PSIZE, *LPSIZE;

typedef struct tagRECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
} RECT, *PRECT, *LPRECT;
typedef const RECT *LPCRECT;

typedef struct _SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *PSECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

#define MAKEWORD(a, b) ((WORD)(((BYTE)((DWORD_PTR)(a) & 0xff)) | ((WORD)((BYTE)((DWORD_PTR)(b) & 0xff))) << 8))
#define MAKELONG(a, b) ((LONG)(((WORD)((DWORD_PTR)(a) & 0xffff)) | ((DWORD)((WORD)((DWORD_PTR)(b) & 0xffff))) << 16))
#define LOWORD(l) ((WORD)((DWORD_PTR)(l) & 0xffff))
#define HIWORD(l) ((WORD)(((DWORD_PTR)(l) >> 16) & 0xffff))
#define LOBYTE(w) ((BYTE)((DWORD_PTR)(w) & 0xff))
#define HIBYTE(w) ((BYTE)(((DWORD_PTR)(w) >> 8) & 0xff))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKELANGID(p, s) ((((WORD)(s)) << 10) | (WORD)(p))
#define MAKEINTRESOURCEA(i) ((LPSTR)((ULONG_PTR)((WORD)(i))))
#define IS_INTRESOURCE(r) ((((ULONG_PTR)(r)) >> 16) == 0)

/* ---- Error codes (GetLastError, registry results) ---- */
#define ERROR_SUCCESS 0L
#define NO_ERROR 0L
#define ERROR_INVALID_FUNCTION 1L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_TOO_MANY_OPEN_FILES 4L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_BAD_FORMAT 11L
#define ERROR_INVALID_ACCESS 12L
#define ERROR_INVALID_DATA 13L
#define ERROR_OUTOFMEMORY 14L
#define ERROR_NOT_SAME_DEVICE 17L
#define ERROR_NOT_READY 21L
#define ERROR_BAD_COMMAND 22L
#define ERROR_CRC 23L
#define ERROR_BAD_LENGTH 24L
#define ERROR_WRITE_FAULT 29L
#define ERROR_READ_FAULT 30L
#define ERROR_GEN_FAILURE 31L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_LOCK_VIOLATION 33L
#define ERROR_HANDLE_EOF 38L
#define ERROR_HANDLE_DISK_FULL 39L
#define ERROR_NOT_SUPPORTED 50L
#define ERROR_DEV_NOT_EXIST 55L
#define ERROR_FILE_EXISTS 80L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_BROKEN_PIPE 109L
#define ERROR_DISK_FULL 112L
#define ERROR_SEM_TIMEOUT 121L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_NAME 123L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_NEGATIVE_SEEK 131L
#define ERROR_SEEK_ON_DEVICE 132L
#define ERROR_DIR_NOT_EMPTY 145L
#define ERROR_BAD_PATHNAME 161L
#define ERROR_BUSY 170L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_FILE_TOO_LARGE 223L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_DIRECTORY 267L
#define ERROR_INVALID_ADDRESS 487L
#define ERROR_OPERATION_ABORTED 995L
#define ERROR_IO_INCOMPLETE 996L
#define ERROR_IO_PENDING 997L
#define ERROR_NOACCESS 998L
#define ERROR_INVALID_FLAGS 1004L
#define ERROR_BADDB 1009L
#define ERROR_BADKEY 1010L
#define ERROR_CANTOPEN 1011L
#define ERROR_CANTREAD 1012L
#define ERROR_CANTWRITE 1013L
#define ERROR_REGISTRY_CORRUPT 1015L
#define ERROR_REGISTRY_IO_FAILED 1016L
#define ERROR_KEY_DELETED 1018L
#define ERROR_NO_UNICODE_TRANSLATION 1113L
#define ERROR_IO_DEVICE 1117L
#define ERROR_MAPPED_ALIGNMENT 1132L
#define ERROR_MESSAGE_SYNC_ONLY 1159L
#define ERROR_DEVICE_NOT_CONNECTED 1167L
#define ERROR_NOT_FOUND 1168L
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_TLW_WITH_WSCHILD 1406L
#define ERROR_CANNOT_FIND_WND_CLASS 1407L
#define ERROR_WINDOW_OF_OTHER_THREAD 1408L
#define ERROR_CLASS_ALREADY_EXISTS 1410L
#define ERROR_CLASS_DOES_NOT_EXIST 1411L
#define ERROR_CLASS_HAS_WINDOWS 1412L
#define ERROR_INVALID_INDEX 1413L
#define ERROR_CONTROL_ID_NOT_FOUND 1421L
#define ERROR_INVALID_THREAD_ID 1444L
#define ERROR_TIMEOUT 1460L
#define ERROR_INVALID_USER_BUFFER 1784L
#define ERROR_NOT_ENOUGH_QUOTA 1816L
#define ERROR_CANT_RESOLVE_FILENAME 1921L

/* ---- Waits and handles ---- */
#define INFINITE 0xFFFFFFFFu
#define WAIT_OBJECT_0 0x00000000u
#define WAIT_ABANDONED 0x00000080u
#define WAIT_TIMEOUT 258u
#define WAIT_FAILED 0xFFFFFFFFu
#define STILL_ACTIVE 259u

#define SYNCHRONIZE 0x00100000u
#define EVENT_MODIFY_STATE 0x0002u
#define EVENT_ALL_ACCESS 0x1F0003u

/* ---- Threads ---- */
typedef DWORD(WINAPI *PTHREAD_START_ROUTINE)(LPVOID parameter);
typedef PTHREAD_START_ROUTINE LPTHREAD_START_ROUTINE;
#define CREATE_SUSPENDED 0x00000004u
#define THREAD_PRIORITY_IDLE (-15)
#define THREAD_PRIORITY_LOWEST (-2)
#define THREAD_PRIORITY_BELOW_NORMAL (-1)
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_ABOVE_NORMAL 1
#define THREAD_PRIORITY_HIGHEST 2
#define THREAD_PRIORITY_TIME_CRITICAL 15
#define THREAD_PRIORITY_ERROR_RETURN 0x7FFFFFFF

/* Re-entrant for the owning thread, as on Windows. */
typedef struct _RTL_CRITICAL_SECTION {
  pthread_mutex_t Mutex;
} CRITICAL_SECTION, *PCRITICAL_SECTION, *LPCRITICAL_SECTION;

/* ---- Files ---- */
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define GENERIC_EXECUTE 0x20000000u
#define GENERIC_ALL 0x10000000u
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u
#define CREATE_NEW 1u
#define CREATE_ALWAYS 2u
#define OPEN_EXISTING 3u
#define OPEN_ALWAYS 4u
#define TRUNCATE_EXISTING 5u
#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_FLAG_WRITE_THROUGH 0x80000000u
#define FILE_FLAG_OVERLAPPED 0x40000000u
#define FILE_FLAG_NO_BUFFERING 0x20000000u
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000u
#define FILE_BEGIN 0u
#define FILE_CURRENT 1u
#define FILE_END 2u
#define INVALID_SET_FILE_POINTER ((DWORD)-1)
#define INVALID_FILE_SIZE ((DWORD)0xFFFFFFFF)
#define MAX_PATH 260
#define MOVEFILE_REPLACE_EXISTING 0x00000001u
#define MOVEFILE_COPY_ALLOWED 0x00000002u
#define MOVEFILE_WRITE_THROUGH 0x00000008u

typedef struct _OVERLAPPED {
  ULONG_PTR Internal;
  ULONG_PTR InternalHigh;
  union {
    struct {
      DWORD Offset;
      DWORD OffsetHigh;
    } s;
    PVOID Pointer;
  } u;
  HANDLE hEvent;
} OVERLAPPED, *LPOVERLAPPED;

#define METHOD_BUFFERED 0u
#define METHOD_IN_DIRECT 1u
#define METHOD_OUT_DIRECT 2u
#define METHOD_NEITHER 3u
#define FILE_ANY_ACCESS 0u
#define FILE_DEVICE_UNKNOWN 0x00000022u
#define CTL_CODE(deviceType, function, method, access) \
  (((DWORD)(deviceType) << 16) | ((DWORD)(access) << 14) | ((DWORD)(function) << 2) | (DWORD)(method))

/* ---- File mappings ---- */
#define PAGE_READONLY 0x02u
#define PAGE_READWRITE 0x04u
#define SEC_COMMIT 0x08000000u
#define FILE_MAP_COPY 0x0001u
#define FILE_MAP_WRITE 0x0002u
#define FILE_MAP_READ 0x0004u
#define FILE_MAP_ALL_ACCESS 0x000F001Fu

/* ---- Code pages ---- */
#define CP_ACP 0u
#define CP_OEMCP 1u
#define CP_THREAD_ACP 3u
#define CP_UTF8 65001u
#define MB_PRECOMPOSED 0x00000001u
#define MB_ERR_INVALID_CHARS 0x00000008u
#define MB_USEGLYPHCHARS 0x00000004u
#define WC_NO_BEST_FIT_CHARS 0x00000400u
#define WC_ERR_INVALID_CHARS 0x00000080u

#define LANG_ENGLISH 0x09
#define LANG_JAPANESE 0x11
#define SUBLANG_DEFAULT 0x01
#define SUBLANG_ENGLISH_US 0x01

/* ---- Registry ---- */
#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)((LONG)0x80000000))
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)((LONG)0x80000001))
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)((LONG)0x80000002))
#define HKEY_USERS ((HKEY)(ULONG_PTR)((LONG)0x80000003))
#define KEY_QUERY_VALUE 0x0001u
#define KEY_SET_VALUE 0x0002u
#define KEY_CREATE_SUB_KEY 0x0004u
#define KEY_ENUMERATE_SUB_KEYS 0x0008u
#define KEY_NOTIFY 0x0010u
#define KEY_CREATE_LINK 0x0020u
#define KEY_WOW64_64KEY 0x0100u
#define KEY_WOW64_32KEY 0x0200u
#define KEY_READ 0x20019u
#define KEY_WRITE 0x20006u
#define KEY_EXECUTE 0x20019u
#define KEY_ALL_ACCESS 0xF003Fu
#define REG_OPTION_NON_VOLATILE 0x00000000u
#define REG_OPTION_VOLATILE 0x00000001u
#define REG_CREATED_NEW_KEY 0x00000001u
#define REG_OPENED_EXISTING_KEY 0x00000002u
#define REG_NONE 0u
#define REG_SZ 1u
#define REG_EXPAND_SZ 2u
#define REG_BINARY 3u
#define REG_DWORD 4u
#define REG_DWORD_LITTLE_ENDIAN 4u
#define REG_MULTI_SZ 7u
#define REG_QWORD 11u

/* ---- Windows and messages ---- */
typedef LRESULT(CALLBACK *WNDPROC)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

typedef struct tagMSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
} MSG, *PMSG, *LPMSG;

typedef struct tagWNDCLASSEXA {
  UINT cbSize;
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
  HICON hIconSm;
} WNDCLASSEXA, *PWNDCLASSEXA, *LPWNDCLASSEXA;

typedef struct tagCREATESTRUCTA {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCSTR lpszName;
  LPCSTR lpszClass;
  DWORD dwExStyle;
} CREATESTRUCTA, *LPCREATESTRUCTA;

#define WM_NULL 0x0000u
#define WM_CREATE 0x0001u
#define WM_DESTROY 0x0002u
#define WM_MOVE 0x0003u
#define WM_SIZE 0x0005u
#define WM_ACTIVATE 0x0006u
#define WM_SETFOCUS 0x0007u
#define WM_KILLFOCUS 0x0008u
#define WM_ENABLE 0x000Au
#define WM_SETTEXT 0x000Cu
#define WM_GETTEXT 0x000Du
#define WM_GETTEXTLENGTH 0x000Eu
#define WM_PAINT 0x000Fu
#define WM_CLOSE 0x0010u
#define WM_QUIT 0x0012u
#define WM_ERASEBKGND 0x0014u
#define WM_SHOWWINDOW 0x0018u
#define WM_SETCURSOR 0x0020u
#define WM_GETMINMAXINFO 0x0024u
#define WM_NOTIFY 0x004Eu
#define WM_NCCREATE 0x0081u
#define WM_NCDESTROY 0x0082u
#define WM_KEYDOWN 0x0100u
#define WM_KEYUP 0x0101u
#define WM_CHAR 0x0102u
#define WM_INITDIALOG 0x0110u
#define WM_COMMAND 0x0111u
#define WM_SYSCOMMAND 0x0112u
#define WM_TIMER 0x0113u
#define WM_HSCROLL 0x0114u
#define WM_VSCROLL 0x0115u
#define WM_MOUSEMOVE 0x0200u
#define WM_LBUTTONDOWN 0x0201u
#define WM_LBUTTONUP 0x0202u
#define WM_RBUTTONDOWN 0x0204u
#define WM_RBUTTONUP 0x0205u
#define WM_DEVICECHANGE 0x0219u
#define WM_USER 0x0400u
#define WM_APP 0x8000u

#define WS_OVERLAPPED 0x00000000u
#define WS_POPUP 0x80000000u
#define WS_CHILD 0x40000000u
#define WS_MINIMIZE 0x20000000u
#define WS_VISIBLE 0x10000000u
#define WS_DISABLED 0x08000000u
#define WS_CLIPSIBLINGS 0x04000000u
#define WS_CLIPCHILDREN 0x02000000u
#define WS_MAXIMIZE 0x01000000u
#define WS_CAPTION 0x00C00000u
#define WS_BORDER 0x00800000u
#define WS_DLGFRAME 0x00400000u
#define WS_VSCROLL 0x00200000u
#define WS_HSCROLL 0x00100000u
#define WS_SYSMENU 0x00080000u
#define WS_THICKFRAME 0x00040000u
#define WS_GROUP 0x00020000u
#define WS_TABSTOP 0x00010000u
#define WS_MINIMIZEBOX 0x00020000u
#define WS_MAXIMIZEBOX 0x00010000u
#define WS_OVERLAPPEDWINDOW \
  (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
#define WS_POPUPWINDOW (WS_POPUP | WS_BORDER | WS_SYSMENU)
#define WS_EX_TOPMOST 0x00000008u
#define WS_EX_TOOLWINDOW 0x00000080u
#define WS_EX_WINDOWEDGE 0x00000100u
#define WS_EX_CLIENTEDGE 0x00000200u
#define WS_EX_APPWINDOW 0x00040000u

#define CS_VREDRAW 0x0001u
#define CS_HREDRAW 0x0002u
#define CS_DBLCLKS 0x0008u
#define CS_OWNDC 0x0020u

#define CW_USEDEFAULT ((int)0x80000000)
#define HWND_MESSAGE ((HWND)(LONG_PTR)-3)
#define HWND_BROADCAST ((HWND)(LONG_PTR)0xffff)

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWNA 8
#define SW_SHOWMINNOACTIVE 7
#define SW_RESTORE 9

#define SWP_NOSIZE 0x0001u
#define SWP_NOMOVE 0x0002u
#define SWP_NOZORDER 0x0004u
#define SWP_NOACTIVATE 0x0010u
#define SWP_SHOWWINDOW 0x0040u
#define SWP_HIDEWINDOW 0x0080u
#define HWND_TOP ((HWND)0)

#define PM_NOREMOVE 0x0000u
#define PM_REMOVE 0x0001u
#define PM_NOYIELD 0x0002u

#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWLP_WNDPROC (-4)
#define GWLP_HINSTANCE (-6)
#define GWLP_ID (-12)
#define GWLP_USERDATA (-21)

/* ---- GDI: bitmaps, device contexts, drawing ---- */
typedef struct tagRGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
} RGBQUAD, *LPRGBQUAD;

typedef struct tagBITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
} BITMAPINFOHEADER, *PBITMAPINFOHEADER, *LPBITMAPINFOHEADER;

typedef struct tagBITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
} BITMAPINFO, *PBITMAPINFO, *LPBITMAPINFO;

#define BI_RGB 0L
#define BI_RLE8 1L
#define BI_RLE4 2L
#define BI_BITFIELDS 3L
#define DIB_RGB_COLORS 0u
#define DIB_PAL_COLORS 1u

#define SRCCOPY 0x00CC0020u
#define SRCPAINT 0x00EE0086u
#define SRCAND 0x008800C6u
#define SRCINVERT 0x00660046u
#define BLACKNESS 0x00000042u
#define WHITENESS 0x00FF0062u

#define BLACKONWHITE 1
#define WHITEONBLACK 2
#define COLORONCOLOR 3
#define HALFTONE 4
#define STRETCH_ANDSCANS BLACKONWHITE
#define STRETCH_ORSCANS WHITEONBLACK
#define STRETCH_DELETESCANS COLORONCOLOR
#define STRETCH_HALFTONE HALFTONE

#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define OEM_FIXED_FONT 10
#define ANSI_FIXED_FONT 11
#define ANSI_VAR_FONT 12
#define SYSTEM_FONT 13
#define DEVICE_DEFAULT_FONT 14
#define DEFAULT_PALETTE 15
#define SYSTEM_FIXED_FONT 16
#define DEFAULT_GUI_FONT 17
#define DC_BRUSH 18
#define DC_PEN 19

#define HGDI_ERROR ((HANDLE)(LONG_PTR)-1)

#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDC_IBEAM MAKEINTRESOURCEA(32513)
#define IDC_WAIT MAKEINTRESOURCEA(32514)
#define IDC_CROSS MAKEINTRESOURCEA(32515)
#define IDC_UPARROW MAKEINTRESOURCEA(32516)
#define IDC_SIZENWSE MAKEINTRESOURCEA(32642)
#define IDC_SIZENESW MAKEINTRESOURCEA(32643)
#define IDC_SIZEWE MAKEINTRESOURCEA(32644)
#define IDC_SIZENS MAKEINTRESOURCEA(32645)
#define IDC_SIZEALL MAKEINTRESOURCEA(32646)
#define IDC_NO MAKEINTRESOURCEA(32648)
#define IDC_HAND MAKEINTRESOURCEA(32649)
#define IDC_APPSTARTING MAKEINTRESOURCEA(32650)
#define IDC_HELP MAKEINTRESOURCEA(32651)

/* ---- System metrics ---- */
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXVSCROLL 2
#define SM_CYHSCROLL 3
#define SM_CYCAPTION 4
#define SM_CXBORDER 5
#define SM_CYBORDER 6
#define SM_CXDLGFRAME 7
#define SM_CYDLGFRAME 8
#define SM_CXFIXEDFRAME SM_CXDLGFRAME
#define SM_CYFIXEDFRAME SM_CYDLGFRAME
#define SM_CXICON 11
#define SM_CYICON 12
#define SM_CXCURSOR 13
#define SM_CYCURSOR 14
#define SM_CYMENU 15
#define SM_CXFULLSCREEN 16
#define SM_CYFULLSCREEN 17
#define SM_MOUSEPRESENT 19
#define SM_CYVSCROLL 20
#define SM_CXHSCROLL 21
#define SM_CXMIN 28
#define SM_CYMIN 29
#define SM_CXSIZE 30
#define SM_CYSIZE 31
#define SM_CXFRAME 32
#define SM_CYFRAME 33
#define SM_CXSIZEFRAME SM_CXFRAME
#define SM_CYSIZEFRAME SM_CYFRAME
#define SM_CXMINTRACK 34
#define SM_CYMINTRACK 35
#define SM_CXEDGE 45
#define SM_CYEDGE 46
#define SM_CXSMICON 49
#define SM_CYSMICON 50
#define SM_CXMAXIMIZED 61
#define SM_CYMAXIMIZED 62
#define SM_XVIRTUALSCREEN 76
#define SM_YVIRTUALSCREEN 77
#define SM_CXVIRTUALSCREEN 78
#define SM_CYVIRTUALSCREEN 79
#define SM_CMONITORS 80
#define SM_CXPADDEDBORDER 92

#define WS_EX_DLGMODALFRAME 0x00000001u
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L

/* ---- Device notifications (dbt.h on Windows) ---- */
#define DBT_DEVICEARRIVAL 0x8000u
#define DBT_DEVICEREMOVECOMPLETE 0x8004u
#define DBT_DEVTYP_OEM 0x00000000u
#define DBT_DEVTYP_VOLUME 0x00000002u
#define DBT_DEVTYP_PORT 0x00000003u
#define DBT_DEVTYP_DEVICEINTERFACE 0x00000005u
#define DEVICE_NOTIFY_WINDOW_HANDLE 0x00000000u
#define DEVICE_NOTIFY_ALL_INTERFACE_CLASSES 0x00000004u

typedef struct _DEV_BROADCAST_HDR {
  DWORD dbch_size;
  DWORD dbch_devicetype;
  DWORD dbch_reserved;
} DEV_BROADCAST_HDR, *PDEV_BROADCAST_HDR;

typedef struct _DEV_BROADCAST_DEVICEINTERFACE_A {
  DWORD dbcc_size;
  DWORD dbcc_devicetype;
  DWORD dbcc_reserved;
  GUID dbcc_classguid;
  char dbcc_name[1];
} DEV_BROADCAST_DEVICEINTERFACE_A, *PDEV_BROADCAST_DEVICEINTERFACE_A;
typedef DEV_BROADCAST_DEVICEINTERFACE_A DEV_BROADCAST_DEVICEINTERFACE;
typedef PDEV_BROADCAST_DEVICEINTERFACE_A PDEV_BROADCAST_DEVICEINTERFACE;

/* ---- Resources ---- */
DECLARE_HANDLE(HRSRC);
typedef HANDLE HGLOBAL;
#define MAKEINTRESOURCEW(i) ((LPWSTR)((ULONG_PTR)((WORD)(i))))
#define MAKEINTRESOURCE MAKEINTRESOURCEA
#define RT_DIALOG MAKEINTRESOURCEA(5)
#define RT_DIALOGW MAKEINTRESOURCEW(5)

/* ---- Dialogs ---- */
typedef INT_PTR(CALLBACK *DLGPROC)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7
#define IDCLOSE 8
#define IDHELP 9

/* Window data of a dialog (GetWindowLongPtr/SetWindowLongPtr). */
#define DWLP_MSGRESULT 0
#define DWLP_DLGPROC 8
#define DWLP_USER 16

#define DS_ABSALIGN 0x0001u
#define DS_SYSMODAL 0x0002u
#define DS_LOCALEDIT 0x0020u
#define DS_SETFONT 0x0040u
#define DS_MODALFRAME 0x0080u
#define DS_NOIDLEMSG 0x0100u
#define DS_SETFOREGROUND 0x0200u
#define DS_3DLOOK 0x0004u
#define DS_FIXEDSYS 0x0008u
#define DS_NOFAILCREATE 0x0010u
#define DS_CONTROL 0x0400u
#define DS_CENTER 0x0800u
#define DS_CENTERMOUSE 0x1000u
#define DS_CONTEXTHELP 0x2000u
#define DS_SHELLFONT (DS_SETFONT | DS_FIXEDSYS)
#define WS_EX_CONTROLPARENT 0x00010000u
#define WS_EX_NOPARENTNOTIFY 0x00000004u
#define WS_EX_TRANSPARENT 0x00000020u
#define WS_EX_STATICEDGE 0x00020000u

#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DC_HASDEFID 0x534B

#define WM_NEXTDLGCTL 0x0028u
#define WM_DRAWITEM 0x002Bu
#define WM_SETFONT 0x0030u
#define WM_GETFONT 0x0031u
#define WM_GETDLGCODE 0x0087u
#define WM_CTLCOLOREDIT 0x0133u
#define WM_CTLCOLORBTN 0x0135u
#define WM_CTLCOLORDLG 0x0136u
#define WM_CTLCOLORSTATIC 0x0138u

#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_ESCAPE 0x1B
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28

/* Buttons */
#define BS_PUSHBUTTON 0x00000000u
#define BS_DEFPUSHBUTTON 0x00000001u
#define BS_CHECKBOX 0x00000002u
#define BS_AUTOCHECKBOX 0x00000003u
#define BS_RADIOBUTTON 0x00000004u
#define BS_3STATE 0x00000005u
#define BS_AUTO3STATE 0x00000006u
#define BS_GROUPBOX 0x00000007u
#define BS_USERBUTTON 0x00000008u
#define BS_AUTORADIOBUTTON 0x00000009u
#define BS_PUSHBOX 0x0000000Au
#define BS_OWNERDRAW 0x0000000Bu
#define BS_TYPEMASK 0x0000000Fu
#define BS_LEFTTEXT 0x00000020u
#define BS_TEXT 0x00000000u
#define BS_LEFT 0x00000100u
#define BS_RIGHT 0x00000200u
#define BS_CENTER 0x00000300u
#define BS_TOP 0x00000400u
#define BS_BOTTOM 0x00000800u
#define BS_VCENTER 0x00000C00u
#define BS_PUSHLIKE 0x00001000u
#define BS_MULTILINE 0x00002000u
#define BS_NOTIFY 0x00004000u
#define BS_FLAT 0x00008000u
#define BM_GETCHECK 0x00F0u
#define BM_SETCHECK 0x00F1u
#define BM_GETSTATE 0x00F2u
#define BM_SETSTATE 0x00F3u
#define BM_SETSTYLE 0x00F4u
#define BM_CLICK 0x00F5u
#define BST_UNCHECKED 0x0000u
#define BST_CHECKED 0x0001u
#define BST_INDETERMINATE 0x0002u
#define BST_PUSHED 0x0004u
#define BST_FOCUS 0x0008u
#define BN_CLICKED 0
#define BN_DOUBLECLICKED 5
#define BN_SETFOCUS 6
#define BN_KILLFOCUS 7

/* Static controls */
#define SS_LEFT 0x00000000u
#define SS_CENTER 0x00000001u
#define SS_RIGHT 0x00000002u
#define SS_ICON 0x00000003u
#define SS_BLACKRECT 0x00000004u
#define SS_GRAYRECT 0x00000005u
#define SS_WHITERECT 0x00000006u
#define SS_BLACKFRAME 0x00000007u
#define SS_SIMPLE 0x0000000Bu
#define SS_LEFTNOWORDWRAP 0x0000000Cu
#define SS_OWNERDRAW 0x0000000Du
#define SS_ETCHEDHORZ 0x00000010u
#define SS_ETCHEDVERT 0x00000011u
#define SS_ETCHEDFRAME 0x00000012u
#define SS_TYPEMASK 0x0000001Fu
#define SS_NOPREFIX 0x00000080u
#define SS_NOTIFY 0x00000100u
#define SS_CENTERIMAGE 0x00000200u
#define SS_SUNKEN 0x00001000u

/* Edit controls */
#define ES_LEFT 0x0000u
#define ES_CENTER 0x0001u
#define ES_RIGHT 0x0002u
#define ES_MULTILINE 0x0004u
#define ES_UPPERCASE 0x0008u
#define ES_LOWERCASE 0x0010u
#define ES_PASSWORD 0x0020u
#define ES_AUTOVSCROLL 0x0040u
#define ES_AUTOHSCROLL 0x0080u
#define ES_NOHIDESEL 0x0100u
#define ES_READONLY 0x0800u
#define ES_WANTRETURN 0x1000u
#define ES_NUMBER 0x2000u
#define EM_GETSEL 0x00B0u
#define EM_SETSEL 0x00B1u
#define EM_GETMODIFY 0x00B8u
#define EM_SETMODIFY 0x00B9u
#define EM_LIMITTEXT 0x00C5u
#define EM_SETLIMITTEXT EM_LIMITTEXT
#define EM_SETREADONLY 0x00CFu
#define EM_GETLIMITTEXT 0x00D5u
#define EN_SETFOCUS 0x0100
#define EN_KILLFOCUS 0x0200
#define EN_CHANGE 0x0300
#define EN_UPDATE 0x0400
#define EN_MAXTEXT 0x0501

/* Combo boxes */
#define CBS_SIMPLE 0x0001u
#define CBS_DROPDOWN 0x0002u
#define CBS_DROPDOWNLIST 0x0003u
#define CBS_OWNERDRAWFIXED 0x0010u
#define CBS_OWNERDRAWVARIABLE 0x0020u
#define CBS_AUTOHSCROLL 0x0040u
#define CBS_OEMCONVERT 0x0080u
#define CBS_SORT 0x0100u
#define CBS_HASSTRINGS 0x0200u
#define CBS_NOINTEGRALHEIGHT 0x0400u
#define CBS_DISABLENOSCROLL 0x0800u
#define CB_OKAY 0
#define CB_ERR (-1)
#define CB_ERRSPACE (-2)
#define CB_GETEDITSEL 0x0140u
#define CB_LIMITTEXT 0x0141u
#define CB_SETEDITSEL 0x0142u
#define CB_ADDSTRING 0x0143u
#define CB_DELETESTRING 0x0144u
#define CB_GETCOUNT 0x0146u
#define CB_GETCURSEL 0x0147u
#define CB_GETLBTEXT 0x0148u
#define CB_GETLBTEXTLEN 0x0149u
#define CB_INSERTSTRING 0x014Au
#define CB_RESETCONTENT 0x014Bu
#define CB_FINDSTRING 0x014Cu
#define CB_SELECTSTRING 0x014Du
#define CB_SETCURSEL 0x014Eu
#define CB_SHOWDROPDOWN 0x014Fu
#define CB_GETITEMDATA 0x0150u
#define CB_SETITEMDATA 0x0151u
#define CB_GETDROPPEDSTATE 0x0157u
#define CB_FINDSTRINGEXACT 0x0158u
#define CBN_ERRSPACE (-1)
#define CBN_SELCHANGE 1
#define CBN_DBLCLK 2
#define CBN_SETFOCUS 3
#define CBN_KILLFOCUS 4
#define CBN_EDITCHANGE 5
#define CBN_EDITUPDATE 6
#define CBN_DROPDOWN 7
#define CBN_CLOSEUP 8
#define CBN_SELENDOK 9
#define CBN_SELENDCANCEL 10

/* Scroll bars (WM_HSCROLL/WM_VSCROLL codes) */
#define SB_LINEUP 0
#define SB_LINELEFT 0
#define SB_LINEDOWN 1
#define SB_LINERIGHT 1
#define SB_PAGEUP 2
#define SB_PAGELEFT 2
#define SB_PAGEDOWN 3
#define SB_PAGERIGHT 3
#define SB_THUMBPOSITION 4
#define SB_THUMBTRACK 5
#define SB_TOP 6
#define SB_LEFT 6
#define SB_BOTTOM 7
#define SB_RIGHT 7
#define SB_ENDSCROLL 8

/* Notifications from common controls (WM_NOTIFY) */
typedef struct tagNMHDR {
  HWND hwndFrom;
  UINT_PTR idFrom;
  UINT code;
} NMHDR, *LPNMHDR;

/* Owner drawing */
#define ODT_MENU 1
#define ODT_LISTBOX 2
#define ODT_COMBOBOX 3
#define ODT_BUTTON 4
#define ODT_STATIC 5
#define ODA_DRAWENTIRE 0x0001u
#define ODA_SELECT 0x0002u
#define ODA_FOCUS 0x0004u
#define ODS_SELECTED 0x0001u
#define ODS_GRAYED 0x0002u
#define ODS_DISABLED 0x0004u
#define ODS_CHECKED 0x0008u
#define ODS_FOCUS 0x0010u
#define ODS_DEFAULT 0x0020u

typedef struct tagDRAWITEMSTRUCT {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;
  UINT itemAction;
  UINT itemState;
  HWND hwndItem;
  HDC hDC;
  RECT rcItem;
  ULONG_PTR itemData;
} DRAWITEMSTRUCT, *PDRAWITEMSTRUCT, *LPDRAWITEMSTRUCT;

/* Colours and text drawing */
typedef DWORD COLORREF;
typedef DWORD *LPCOLORREF;
#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) (LOBYTE(rgb))
#define GetGValue(rgb) (LOBYTE(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) (LOBYTE((rgb) >> 16))
#define COLOR_SCROLLBAR 0
#define COLOR_BACKGROUND 1
#define COLOR_WINDOW 5
#define COLOR_WINDOWFRAME 6
#define COLOR_WINDOWTEXT 8
#define COLOR_HIGHLIGHT 13
#define COLOR_HIGHLIGHTTEXT 14
#define COLOR_BTNFACE 15
#define COLOR_3DFACE COLOR_BTNFACE
#define COLOR_BTNSHADOW 16
#define COLOR_GRAYTEXT 17
#define COLOR_BTNTEXT 18
#define COLOR_BTNHIGHLIGHT 20
#define TRANSPARENT 1
#define OPAQUE 2
#define DT_TOP 0x00000000u
#define DT_LEFT 0x00000000u
#define DT_CENTER 0x00000001u
#define DT_RIGHT 0x00000002u
#define DT_VCENTER 0x00000004u
#define DT_BOTTOM 0x00000008u
#define DT_WORDBREAK 0x00000010u
#define DT_SINGLELINE 0x00000020u
#define DT_NOCLIP 0x00000100u
#define DT_CALCRECT 0x00000400u
#define DT_NOPREFIX 0x00000800u

/* ---- Multimedia timers (mmsystem.h on Windows) ---- */
#define TIMERR_NOERROR 0u
#define TIMERR_NOCANDO 97u

/* ======================= Functions ======================= */

/* Errors */
DWORD WINAPI GetLastError(void);
void WINAPI SetLastError(DWORD errorCode);

/* Handles, events, waits */
BOOL WINAPI CloseHandle(HANDLE object);
HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState, LPCSTR name);
BOOL WINAPI SetEvent(HANDLE event);
BOOL WINAPI ResetEvent(HANDLE event);
DWORD WINAPI WaitForSingleObject(HANDLE object, DWORD milliseconds);

/* Threads */
HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                           LPVOID parameter, DWORD creationFlags, LPDWORD threadId);
BOOL WINAPI SetThreadPriority(HANDLE thread, int priority);
int WINAPI GetThreadPriority(HANDLE thread);
BOOL WINAPI GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
DWORD WINAPI GetCurrentThreadId(void);
DWORD WINAPI GetCurrentProcessId(void);

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section);
void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section);
void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section);
BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION section);
void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section);

/* Time */
void WINAPI Sleep(DWORD milliseconds);
DWORD WINAPI GetTickCount(void);
DWORD WINAPI timeGetTime(void);
MMRESULT WINAPI timeBeginPeriod(UINT periodMs);
MMRESULT WINAPI timeEndPeriod(UINT periodMs);

/* Trace sink. Silent unless TEVRIN_LOG names what to show, as comma-separated
 * "category:level" entries ("usb:debug,sdk:info,*:warn"); a bare level means
 * every category, and an entry for the category wins over "*". Levels, most to
 * least severe: error, warn, info, debug, trace ("off" silences). A message
 * names its category and level with a leading "[category]" or
 * "[category:level]" tag ("[usb:debug] request sent"); untagged text is
 * category "general", level info. Each line of the message becomes one output
 * line "<seconds since first trace> <pid> <level> <category>: <text>", written
 * whole to stderr or appended to the file $TEVRIN_LOG_FILE. Thread-safe; keeps
 * GetLastError. */
void WINAPI OutputDebugStringA(LPCSTR text);

/* Files. Differences from Windows: paths are Linux paths (no drive letters,
 * '/' separates, names are case-sensitive); paths of the form "\\?\..." or
 * "\\.\..." are device interfaces served by the driver registry. Share modes are enforced
 * among this process's handles only, and FILE_SHARE_DELETE lets DeleteFileA
 * remove the name at once instead of at the last close. With an OVERLAPPED the
 * transfer happens at its offset and is complete on return (Internal holds the
 * error, InternalHigh the byte count, hEvent is set). ReadFile/WriteFile
 * without both a byte-count pointer and an OVERLAPPED fail with
 * ERROR_INVALID_PARAMETER instead of faulting. SetFilePointer without a high
 * part refuses positions of 4 GiB - 1 and above (ERROR_INVALID_PARAMETER).
 * MoveFileExA cannot move across file systems (ERROR_NOT_SAME_DEVICE, even
 * with MOVEFILE_COPY_ALLOWED). FILE_ATTRIBUTE_READONLY on a new file makes it
 * mode 0444; other attributes and flags are ignored. */
HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES attributes,
                          DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);
BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED overlapped);
BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
                      LPOVERLAPPED overlapped);
DWORD WINAPI SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD moveMethod);
DWORD WINAPI GetFileSize(HANDLE file, LPDWORD fileSizeHigh);
BOOL WINAPI DeleteFileA(LPCSTR fileName);
BOOL WINAPI MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags);
BOOL WINAPI FlushFileBuffers(HANDLE file);
/* Cuts the file (or extends it with zeros) at the current file pointer. */
BOOL WINAPI SetEndOfFile(HANDLE file);

/* Device I/O: control requests to a driver opened with CreateFileA on a
   device interface path; overlapped when the handle was opened with
   FILE_FLAG_OVERLAPPED. A request completes at once (TRUE, the event set too)
   or returns FALSE with ERROR_IO_PENDING and signals the OVERLAPPED's event
   when done. Differences from Windows: OVERLAPPED.Internal holds the Win32
   error code of a completed request (not an NTSTATUS); a null OVERLAPPED on an
   overlapped handle makes the call synchronous; GetOverlappedResult with
   wait = TRUE waits for the request itself and leaves an auto-reset event
   alone; CancelIo cancels the handle's requests from every thread (as
   CancelIoEx(handle, NULL)); closing the last handle cancels what is in flight. */
BOOL WINAPI DeviceIoControl(HANDLE device, DWORD controlCode, LPVOID inBuffer, DWORD inSize, LPVOID outBuffer,
                            DWORD outSize, LPDWORD bytesReturned, LPOVERLAPPED overlapped);
BOOL WINAPI GetOverlappedResult(HANDLE device, LPOVERLAPPED overlapped, LPDWORD bytesTransferred, BOOL wait);
BOOL WINAPI CancelIo(HANDLE device);

/* Memory-backed file mappings (the file must be INVALID_HANDLE_VALUE; a file
 * handle gives ERROR_NOT_SUPPORTED). A named section is shared by every process
 * in the same $TEVRIN_NAMESPACE ("Local\" and "Global\" prefixes are
 * dropped) and ends when its last handle and view in any process are gone,
 * also when the holders crashed. Differences from Windows: a process opening a
 * section made PAGE_READONLY elsewhere may still map it for writing; view
 * offsets must be multiples of 64 KiB as on Windows; UnmapViewOfFile accepts
 * any address inside a view. */
HANDLE WINAPI CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES attributes, DWORD protect, DWORD maximumSizeHigh,
                                 DWORD maximumSizeLow, LPCSTR name);
HANDLE WINAPI OpenFileMappingA(DWORD desiredAccess, BOOL inheritHandle, LPCSTR name);
LPVOID WINAPI MapViewOfFile(HANDLE mapping, DWORD desiredAccess, DWORD offsetHigh, DWORD offsetLow,
                            SIZE_T bytesToMap);
BOOL WINAPI UnmapViewOfFile(LPCVOID baseAddress);

/* Text and modules. CP_ACP, CP_OEMCP, CP_THREAD_ACP and CP_UTF8 are UTF-8;
 * wchar_t is 32 bits and holds a code point (a UTF-16 surrogate pair in two
 * wchar_t is also accepted). Invalid input becomes U+FFFD, or fails with
 * ERROR_NO_UNICODE_TRANSLATION under MB_ERR_INVALID_CHARS/WC_ERR_INVALID_CHARS;
 * the ANSI pages accept a default character, CP_UTF8 refuses one as on
 * Windows. A buffer too short (ERROR_INSUFFICIENT_BUFFER) is left untouched.
 * GetSystemDefaultLangID gives 1041 when LC_ALL, else LC_MESSAGES, else LANG
 * names a Japanese locale ("ja", "ja_JP..."), otherwise 1033.
 * GetModuleHandleA(NULL) is the program; a name finds a loaded object without
 * regard to case, "X.dll" or "X" matching libX.so[.version] or X.so; a name
 * with '/' must be the loaded path. An HMODULE is the dynamic loader's handle.
 * GetModuleFileNameA cuts a long path to size - 1 characters plus the
 * terminator and returns size with ERROR_INSUFFICIENT_BUFFER, as on Windows. */
int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR narrow,
                               int narrowSize, LPCSTR defaultChar, LPBOOL usedDefaultChar);
int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR narrow, int narrowLength, LPWSTR wide,
                               int wideSize);
LANGID WINAPI GetSystemDefaultLangID(void);
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName);
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);

/* Registry. HKEY_CURRENT_USER lives in an SQLite file: $TEVRIN_REGISTRY, else
 * $XDG_CONFIG_HOME/tevrin/registry.sqlite3, else ~/.config/tevrin/registry.sqlite3,
 * chosen when a key is opened from the root; an open HKEY stays with its file.
 * Safe across threads and processes. Differences from Windows: the other
 * predefined roots do not exist (ERROR_FILE_NOT_FOUND; RegCloseKey on them
 * succeeds); names fold ASCII letters only; a buffer too short for
 * ERROR_MORE_DATA is left untouched; volatile keys persist and key classes
 * are empty. A file that cannot be opened gives ERROR_CANTOPEN, one that is
 * not a registry ERROR_BADDB, a damaged one ERROR_REGISTRY_CORRUPT, failed
 * I/O ERROR_REGISTRY_IO_FAILED, a lock another process holds too long
 * ERROR_BUSY; such a file is never rewritten. */
LSTATUS WINAPI RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                               REGSAM desired, const LPSECURITY_ATTRIBUTES attributes, PHKEY result,
                               LPDWORD disposition);
LSTATUS WINAPI RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM desired, PHKEY result);
LSTATUS WINAPI RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                LPDWORD dataSize);
LSTATUS WINAPI RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE *data,
                              DWORD dataSize);
LSTATUS WINAPI RegDeleteValueA(HKEY key, LPCSTR valueName);
LSTATUS WINAPI RegDeleteKeyA(HKEY key, LPCSTR subKey);
LSTATUS WINAPI RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved, LPSTR keyClass,
                             LPDWORD classSize, void *lastWriteTime);
LSTATUS WINAPI RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved, LPDWORD type,
                             LPBYTE data, LPDWORD dataSize);
LSTATUS WINAPI RegCloseKey(HKEY key);

/* Windows and messages. Classes are process-wide and found by name alone
 * (the instance is not part of the key); the client rectangle is the window
 * less the fixed non-client area of its style (see GDI below), and placement is plain state (no
 * WM_MOVE, WM_SIZE or WM_WINDOWPOS* messages, no z-order, no painting).
 * CW_USEDEFAULT places at 0, 0 and sizes top-level windows 640 x 480.
 * A window's messages go to the queue of its creating thread; a queue holds at
 * most 10 000 posted messages (ERROR_NOT_ENOUGH_QUOTA). When a thread ends its
 * windows are removed without WM_DESTROY, and threads blocked in SendMessageA
 * to it get 0. GetMessageA/PeekMessageA with a window take that window's
 * messages only, not its children's. */
ATOM WINAPI RegisterClassExA(const WNDCLASSEXA *windowClass);
BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance);
HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
BOOL WINAPI DestroyWindow(HWND window);
LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI IsWindow(HWND window);
HWND WINAPI GetParent(HWND window);
HWND WINAPI GetDlgItem(HWND parent, int id);
int WINAPI GetDlgCtrlID(HWND window);
HWND WINAPI FindWindowA(LPCSTR className, LPCSTR windowName);
DWORD WINAPI GetWindowThreadProcessId(HWND window, LPDWORD processId);
LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index);
LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text);
int WINAPI GetWindowTextA(HWND window, LPSTR buffer, int size);
int WINAPI GetWindowTextLengthA(HWND window);
BOOL WINAPI GetClientRect(HWND window, LPRECT rect);
BOOL WINAPI GetWindowRect(HWND window, LPRECT rect);
BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL WINAPI SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL WINAPI ShowWindow(HWND window, int command);
BOOL WINAPI IsWindowVisible(HWND window);
BOOL WINAPI IsIconic(HWND window);
BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
void WINAPI PostQuitMessage(int exitCode);
LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax);
BOOL WINAPI PeekMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
LRESULT WINAPI DispatchMessageA(const MSG *message);
/* There is no keyboard input: always FALSE. */
BOOL WINAPI TranslateMessage(const MSG *message);
/* WM_DEVICECHANGE reaches the registered window like SendNotifyMessage: run
 * by the window's thread at its next GetMessageA/PeekMessageA/SendMessageA
 * wait, never by the thread that detected the change; the
 * DEV_BROADCAST_DEVICEINTERFACE_A stays valid until the procedure returns. */
HDEVNOTIFY WINAPI RegisterDeviceNotificationA(HANDLE recipient, LPVOID notificationFilter, DWORD flags);
BOOL WINAPI UnregisterDeviceNotification(HDEVNOTIFY handle);

/* GDI. Bitmaps are DIB sections (8 bits with a colour table, 16 bits as
 * 5-5-5, 24 and 32 bits; BI_RGB, DIB_RGB_COLORS, rows padded to 4 bytes, pixel
 * memory zero-filled and 64-byte aligned) or 32-bit bitmaps compatible with a
 * window. Every window keeps a 32-bit surface of its client area holding what
 * was drawn into it, whatever its visibility or overlap, resized (kept at the
 * top left, new parts black) with the window; BitBlt from GetDC(window) into a
 * memory DC, or GetDIBits, reads it back. GetDC(NULL) is the screen, a surface
 * of the GetSystemMetrics size. The non-client area of a window is fixed: a
 * thick frame is 8 pixels (SM_CXFRAME 4 + SM_CXPADDEDBORDER 4), a dialog frame 3,
 * a border 1, WS_EX_CLIENTEDGE 2 more, a caption 23 (SM_CYCAPTION), a menu 20:
 * WS_OVERLAPPEDWINDOW around a 640 x 512 client is 656 x 551. The screen is
 * $TEVRIN_SCREEN ("WxH") when set, else the X display's screen when one is
 * reachable ($DISPLAY), else 1920 x 1080. With a display, windows also appear
 * on it and what is drawn into them is shown; SM_CMONITORS is 1 with a
 * display and 0 without one. Differences from Windows:
 * only SRCCOPY is drawn (other raster operations fail with
 * ERROR_NOT_SUPPORTED); every stretch mode samples like COLORONCOLOR;
 * conversion to 8 bits picks the nearest colour-table entry; 16 bits expand
 * by bit replication; a memory DC's default bitmap is a black 1 x 1 pixel;
 * GetDIBits works while the bitmap is selected, writes 16, 24 or 32 bits (8
 * only from an 8-bit bitmap) and counts start scan lines from the first row
 * of the caller's buffer; bad handles fail with ERROR_INVALID_HANDLE; there is
 * no WM_PAINT (InvalidateRect and UpdateWindow only check the window). */
HBITMAP WINAPI CreateDIBSection(HDC dc, const BITMAPINFO *info, UINT usage, void **bits, HANDLE section,
                                DWORD offset);
HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height);
HDC WINAPI CreateCompatibleDC(HDC dc);
BOOL WINAPI DeleteDC(HDC dc);
HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object);
BOOL WINAPI DeleteObject(HGDIOBJ object);
HGDIOBJ WINAPI GetStockObject(int index);
UINT WINAPI SetDIBColorTable(HDC dc, UINT start, UINT count, const RGBQUAD *colors);
UINT WINAPI GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD *colors);
int WINAPI GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info, UINT usage);
BOOL WINAPI BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop);
BOOL WINAPI StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                       int sourceWidth, int sourceHeight, DWORD rop);
int WINAPI SetStretchBltMode(HDC dc, int mode);
int WINAPI GetStretchBltMode(HDC dc);
HDC WINAPI GetDC(HWND window);
int WINAPI ReleaseDC(HWND window, HDC dc);
HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name);
BOOL WINAPI UpdateWindow(HWND window);
BOOL WINAPI InvalidateRect(HWND window, const RECT *rect, BOOL erase);
/* Focus is kept per thread; WM_KILLFOCUS and WM_SETFOCUS are sent. */
HWND WINAPI SetFocus(HWND window);
HWND WINAPI GetFocus(void);
BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle);
int WINAPI GetSystemMetrics(int index);

/* Resources. Dialog templates are compiled into a module from resource
 * scripts at build time (platform/cmake/DialogResources.cmake) and found by
 * that module's handle; RT_DIALOG is the only resource type. FindResource
 * prefers the template in the language of GetSystemDefaultLangID, then
 * English, then any. The data stays valid while the module is loaded;
 * LoadResource and LockResource give the template itself (a DLGTEMPLATEEX). */
HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HRSRC WINAPI FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource);
LPVOID WINAPI LockResource(HGLOBAL data);
DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource);

/* Dialogs and controls. Controls keep their state (text, checks, items,
 * ranges, positions) as window state and answer the Win32 messages; nothing is
 * painted. Text is UTF-8 in the A functions and converted in the W ones.
 * DialogBoxParam runs its modal loop only when the dialog can be shown: with
 * TEVRIN_HEADLESS_DIALOGS=1 the dialog lives in memory and other threads
 * drive it with SendMessageA/PostMessageA as user input would; otherwise,
 * having no display, it returns -1 (ERROR_NOT_SUPPORTED) at once, as for a
 * dialog that cannot be created. Dialog units use a base of 8 x 16 pixels
 * (GetDialogBaseUnits; a template's FONT is recorded, not measured). */
INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC procedure,
                               LPARAM initParam);
INT_PTR WINAPI DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND parent, DLGPROC procedure,
                               LPARAM initParam);
HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC procedure,
                               LPARAM initParam);
HWND WINAPI CreateDialogParamW(HINSTANCE instance, LPCWSTR templateName, HWND parent, DLGPROC procedure,
                               LPARAM initParam);
#define DialogBoxParam DialogBoxParamA
#define CreateDialogParam CreateDialogParamA
BOOL WINAPI EndDialog(HWND dialog, INT_PTR result);
BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG message);
BOOL WINAPI IsDialogMessageW(HWND dialog, LPMSG message);
#define IsDialogMessage IsDialogMessageA
LRESULT WINAPI DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
UINT WINAPI GetDlgItemInt(HWND dialog, int id, BOOL *translated, BOOL isSigned);
BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
BOOL WINAPI SetDlgItemTextW(HWND dialog, int id, LPCWSTR text);
UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size);
UINT WINAPI GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int size);
#define SetDlgItemText SetDlgItemTextA
#define GetDlgItemText GetDlgItemTextA
LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT WINAPI SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
#define SendDlgItemMessage SendDlgItemMessageA
/* Text-carrying messages (WM_SETTEXT, WM_GETTEXT, CB_ADDSTRING, TCM_INSERTITEMW,
 * ...) take wide strings and are converted; others pass as SendMessageA. */
LRESULT WINAPI SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI SetWindowTextW(HWND window, LPCWSTR text);
int WINAPI GetWindowTextW(HWND window, LPWSTR buffer, int size);
/* Calls `callback` for every descendant of `parent`, depth first in creation
 * order, until it returns FALSE. */
typedef BOOL(CALLBACK *WNDENUMPROC)(HWND window, LPARAM lParam);
BOOL WINAPI EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM lParam);
BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check);
UINT WINAPI IsDlgButtonChecked(HWND dialog, int id);
BOOL WINAPI CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId);
/* Returns whether the window was disabled before; sends WM_ENABLE on a change. */
BOOL WINAPI EnableWindow(HWND window, BOOL enable);
BOOL WINAPI IsWindowEnabled(HWND window);
BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect);
LONG WINAPI GetDialogBaseUnits(void);

/* Colours, brushes and text for owner drawing. Text is measured in cells of
 * the dialog base unit size and not rendered (there are no fonts here). */
DWORD WINAPI GetSysColor(int index);
HBRUSH WINAPI GetSysColorBrush(int index);
HBRUSH WINAPI CreateSolidBrush(COLORREF color);
int WINAPI FillRect(HDC dc, const RECT *rect, HBRUSH brush);
int WINAPI SetBkMode(HDC dc, int mode);
COLORREF WINAPI SetTextColor(HDC dc, COLORREF color);
COLORREF WINAPI SetBkColor(HDC dc, COLORREF color);
int WINAPI DrawTextA(HDC dc, LPCSTR text, int length, LPRECT rect, UINT format);
int WINAPI DrawTextW(HDC dc, LPCWSTR text, int length, LPRECT rect, UINT format);

#ifdef __cplusplus
}
#endif

#endif /* TEVRIN_PLATFORM_WINDOWS_H */
