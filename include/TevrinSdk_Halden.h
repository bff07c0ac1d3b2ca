/*
 * TevrinSdk_Halden: the C interface of the Tevrin Halden camera SDK.
 *
 * Handles. Tevrin_Initialize returns a nonzero handle for one camera instance;
 * every other function but Tevrin_GetDllVersion takes it first. A handle that
 * is unknown or already released makes a function return at once with its
 * "unknown" value (0 unless stated: -1 or 0.0 for some getters) and records
 * nothing; an optional `ok` flag then receives 0.
 *
 * Results. Nonzero (as a rule 1) is success, 0 failure, unless a function says
 * otherwise. A failure records a TevrinError code in the handle's history of
 * 20 codes (read it with Tevrin_GetLastError) and posts TEVRIN_MSG_ERROR to the
 * notification window with the code in lParam. Functions marked "posts only"
 * post the code without recording it.
 *
 * Threads. Every function may be called from any thread. Calls on different
 * handles run in parallel. A handle must not be released while another thread
 * still uses it.
 *
 * Text. Narrow strings are in the thread's ANSI code page (UTF-8 on Linux);
 * the ...W forms convert through a 1024-byte buffer and fail with
 * TEVRIN_ERROR_TEXT_OR_FILE when the text does not convert or does not fit.
 */
#ifndef TEVRINSDK_HALDEN_H
#define TEVRINSDK_HALDEN_H

#include <wchar.h>
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Messages ---- */

/* Posted to the frame window once per delivered frame: wParam is the address
   of a FrameInfo, or 0 with the TevrinError code of a failed frame in lParam. */
#define TEVRIN_MSG_FRAME (WM_APP + 2) /* 32770 */
/* Posted to the notification window for every error: wParam 0, lParam the code. */
#define TEVRIN_MSG_ERROR (WM_APP + 3) /* 32771 */

/* ---- Error codes (10 is not used) ---- */
typedef enum TevrinError {
  TEVRIN_ERROR_NONE = 0,           /* success marker of some device reads */
  TEVRIN_ERROR_NOT_READY = 1,      /* no camera device, wrong acquisition state, no frame yet */
  TEVRIN_ERROR_NO_CAMERA = 2,      /* device number absent or not openable */
  TEVRIN_ERROR_THREAD_START = 3,   /* a thread or event could not be created */
  TEVRIN_ERROR_WINDOW_OR_SIZE = 4, /* preview window failed; no matching size entry */
  TEVRIN_ERROR_BUFFER = 5,         /* image buffers missing; caller's buffer or CameraInfo too small */
  TEVRIN_ERROR_REGISTER = 6,       /* register read or write failed */
  TEVRIN_ERROR_GEOMETRY = 7,       /* image window invalid or refused by the camera */
  TEVRIN_ERROR_TRANSFER = 8,       /* a frame could not be started, waited for or read */
  TEVRIN_ERROR_ARGUMENT = 9,       /* value out of range, unknown ID, short buffer, null pointer */
  TEVRIN_ERROR_UNSUPPORTED = 11,   /* the camera or the library does not support it */
  TEVRIN_ERROR_TEXT_OR_FILE = 12,  /* text conversion, recording file or temperature read failed */
  TEVRIN_ERROR_DEVICE_LOST = 13,   /* the camera stopped answering during preview */
  TEVRIN_ERROR_MASK_FILE = 14      /* mask file missing, unwritable or malformed */
} TevrinError;

/* ---- Output colour modes, in bits per pixel ---- */
#define TEVRIN_COLOR_GRAY8 8
#define TEVRIN_COLOR_GRAY16 16
#define TEVRIN_COLOR_BGR24 24
#define TEVRIN_COLOR_BGRA32 32
#define TEVRIN_COLOR_BGR48 48
#define TEVRIN_COLOR_BGRA64 64

/* ---- Still-image formats of Tevrin_SaveImage ---- */
#define TEVRIN_FORMAT_BMP 0
#define TEVRIN_FORMAT_RAW 1
#define TEVRIN_FORMAT_JPEG_100 2
#define TEVRIN_FORMAT_JPEG_70 3
#define TEVRIN_FORMAT_JPEG_20 4
#define TEVRIN_FORMAT_PNG 5
#define TEVRIN_FORMAT_TIFF 6

/* ---- Filter IDs of Tevrin_SetFilterValue / Tevrin_GetFilterValue ---- */
#define TEVRIN_FILTER_BRIGHTNESS 1       /* -255..255 */
#define TEVRIN_FILTER_CONTRAST 2         /* -127..127 */
#define TEVRIN_FILTER_HUE 3              /* -360..360 */
#define TEVRIN_FILTER_SATURATION 4       /* -255..255 */
#define TEVRIN_FILTER_SHARPNESS 5        /* 0..30 */
#define TEVRIN_FILTER_BAYER_GAIN_RGB 6   /* red bits 0-7, green 8-15, blue 16-23 */
#define TEVRIN_FILTER_BAYER_GAIN_RED 7   /* 0..400 */
#define TEVRIN_FILTER_BAYER_GAIN_GREEN 8 /* 0..400 */
#define TEVRIN_FILTER_BAYER_GAIN_BLUE 9  /* 0..400 */
#define TEVRIN_FILTER_BAYER_GAIN_AUTO 10 /* nonzero = on */
#define TEVRIN_FILTER_GAMMA 11           /* 0..200 */
#define TEVRIN_FILTER_BAYER_MODE 12      /* 0..3 */
#define TEVRIN_FILTER_GLOBAL_GAIN 13     /* camera's global-gain range */
#define TEVRIN_FILTER_COLOR_GAIN_RED 14  /* camera's colour-gain range */
#define TEVRIN_FILTER_COLOR_GAIN_GREEN1 15
#define TEVRIN_FILTER_COLOR_GAIN_GREEN2 16
#define TEVRIN_FILTER_COLOR_GAIN_BLUE 17
#define TEVRIN_FILTER_EXPOSURE_TIME 18 /* camera's exposure range, 0.1 ms units */
#define TEVRIN_FILTER_GRAY_MODE 19     /* 0..2 */
#define TEVRIN_FILTER_GRAY_GAIN_R 20   /* 0..255, 128 = x1 */
#define TEVRIN_FILTER_GRAY_GAIN_G1 21
#define TEVRIN_FILTER_GRAY_GAIN_G2 22
#define TEVRIN_FILTER_GRAY_GAIN_B 23
#define TEVRIN_FILTER_GRAY_OFFSET_R 24 /* -255..255 */
#define TEVRIN_FILTER_GRAY_OFFSET_G1 25
#define TEVRIN_FILTER_GRAY_OFFSET_G2 26
#define TEVRIN_FILTER_GRAY_OFFSET_B 27
#define TEVRIN_FILTER_GRAY_AUTO_GAIN_ONCE 28 /* set only, 0..1 */
#define TEVRIN_FILTER_PELTIER 100
#define TEVRIN_FILTER_TEMPERATURE 101
#define TEVRIN_FILTER_DOT_FILTER 102  /* 0..1 */
#define TEVRIN_FILTER_MASK_FILTER 103 /* 0..1 */
#define TEVRIN_FILTER_MODE_SWITCH 104
#define TEVRIN_FILTER_REGISTER_PRESET 105
#define TEVRIN_FILTER_BLACK_LEVEL 106

/* ---- Blocks shared with the application (little-endian, 64-bit) ---- */

/* The block whose address TEVRIN_MSG_FRAME carries; overwritten by the next
   frame. It stays readable for the life of the process, also after
   Tevrin_Release (keeping the last frame's values), so queued frame messages
   may be handled after the handle is gone; the library keeps one such
   32-byte block per handle ever created. */
typedef struct FrameInfo {
  int reserved;     /* always 0 */
  int width;        /* pixels */
  int height;       /* pixels */
  int bitsPerPixel; /* 8, 16, 24, 32, 48 or 64 */
  int frameRate10;  /* frames per second x 10 (preview); 0 (trigger) */
  int padding;
  BYTE* buffer; /* the caller's buffer, or NULL */
} FrameInfo;

/* Why the newest frame of a camera ended (CameraInfo.newestFrameStatus). */
typedef enum TevrinFrameStatus {
  TEVRIN_FRAME_NONE = 0,           /* no frame has ended yet */
  TEVRIN_FRAME_COMPLETE = 1,       /* the whole image arrived */
  TEVRIN_FRAME_SHORT_TRANSFER = 2, /* the image came with fewer bytes than the frame has */
  TEVRIN_FRAME_TIMEOUT = 3,        /* the camera sent nothing in time */
  TEVRIN_FRAME_ABORTED = 4,        /* the read was aborted by a stop */
  TEVRIN_FRAME_UNPLUGGED = 5,      /* the camera is gone */
  TEVRIN_FRAME_HEADER_FAILED = 6,  /* the frame header was refused or short */
  TEVRIN_FRAME_TRANSFER_FAILED = 7 /* the driver or the camera failed the transfer */
} TevrinFrameStatus;

/* Filled by Tevrin_GetCameraInfo; set `size` first (at least 36; 56 for the
   fractional exposure range; 80 for the frame statistics as well; 96,
   sizeof(CameraInfo), for the recording statistics too). The frame
   statistics count the frames the camera delivered since it was opened
   (saturating); they show whether frames were lost in the camera's
   transfer, in the ring of the driver layer, or later. The recording
   statistics count the frames of the current or last Tevrin_Record. */
typedef struct CameraInfo {
  int size;
  int maxWidth;  /* 640 */
  int maxHeight; /* 512 */
  int globalGainMin;
  int globalGainMax;
  int colorGainMin;
  int colorGainMax;
  int exposureMin; /* 0.1 ms units */
  int exposureMax;
  int reserved; /* not written */
  double exposureSecondsMin;
  double exposureSecondsMax;
  unsigned int framesCompleted; /* arrived whole */
  unsigned int framesFailed;    /* ended in any other status */
  unsigned int framesOverrun;   /* whole frames overwritten before the SDK took them */
  unsigned int frameTimeouts;   /* failed frames that timed out (counted in framesFailed too) */
  int newestFrameStatus;        /* TevrinFrameStatus */
  int reserved2;                /* not written */
  unsigned int framesRecorded;    /* written to the AVI file */
  unsigned int framesNotRecorded; /* processed while recording, not written: the disk fell behind */
  int recording;                  /* 1 from Tevrin_Record until its file is finished */
  int reserved3;                  /* not written */
} CameraInfo;

#ifdef __cplusplus
#define TEVRIN_STATIC_ASSERT static_assert
#else
#define TEVRIN_STATIC_ASSERT _Static_assert
#endif
TEVRIN_STATIC_ASSERT(sizeof(FrameInfo) == 32, "FrameInfo is 32 bytes");
TEVRIN_STATIC_ASSERT(sizeof(CameraInfo) == 96, "CameraInfo is 96 bytes");
#undef TEVRIN_STATIC_ASSERT

/* ---- Initialisation, handles, version ---- */

/* Creates a camera instance and returns its handle (0: out of memory). The
   handle is returned even when the camera could not be prepared; that failure
   shows in Tevrin_GetLastError and the error message. notifyWindow may be NULL. */
int Tevrin_Initialize(HWND notifyWindow);
/* Saves the settings, closes the camera and frees the handle. 0: unknown handle.
   May be called from any thread: it waits for calls on the handle still
   running in other threads; calls made after it answer as for an unknown
   handle. Frame messages still queued stay safe to handle (see FrameInfo). */
int Tevrin_Release(int handle);
/* 35128609 (0x02180521). */
int Tevrin_GetDllVersion(void);
/* Pops the newest error code; 0 when none is left. */
int Tevrin_GetLastError(int handle);
/* Always 0. */
int Tevrin_GetStatus(int handle);
/* Stops acquisition and releases the preview window; 1. */
int Tevrin_Close(int handle);

/* ---- Device selection and identity ---- */

/* Opens camera `number` of the list. Errors: 1 no device, 2 absent or not openable. */
int Tevrin_SetDeviceNumber(int handle, int number);
/* Fills up to 10 names "TevrinHalden_NN" (the rest empty); returns how many. Errors: 1, 9 (names NULL). */
int Tevrin_EnumDevice(int handle, char names[10][256]);
int Tevrin_EnumDeviceW(int handle, wchar_t names[10][256]);
/* Name of device `index` (0..31). Errors: 9 size below 16 or name NULL, 1 no device, 2 absent index. */
int Tevrin_GetDeviceName(int handle, int index, char* name, int size);
/* As above; `size` in characters. Error 12 when the name does not fit. */
int Tevrin_GetDeviceNameW(int handle, int index, wchar_t* name, int size);
/* The camera's serial number from its EEPROM. Errors: 9 size below 32 or NULL, 1 no device. */
int Tevrin_ReadSerialNumberA(int handle, char* serial, int size);
int Tevrin_ReadSerialNumberW(int handle, wchar_t* serial, int size);
/* Errors: 9 info NULL, 5 info->size below 36, 1 no device. */
int Tevrin_GetCameraInfo(int handle, CameraInfo* info);

/* ---- Acquisition ----
   All need a camera (error 1 without one, or in an acquisition state that
   does not allow the call). Further errors: 2 camera absent, 3 thread, 4
   preview window, 5 buffer too small, 6 start refused, 7 invalid window, 8
   frame not delivered. rowOrder nonzero copies rows top first. */

/* Continuous preview, drawn into the preview window when one is placed. */
int Tevrin_Preview(int handle);
/* Preview that copies every frame into `buffer` and posts TEVRIN_MSG_FRAME to frameWindow.
   Called while a preview runs, the new window, buffer and size take over
   between two frames: once it returns, the old buffer is no longer written. */
int Tevrin_CallBackPreview(int handle, HWND frameWindow, BYTE* buffer, int size, int rowOrder);
int Tevrin_StartPreview(int handle);
int Tevrin_StopPreview(int handle);
/* Prepares single-frame acquisition for Tevrin_SnapShot. */
int Tevrin_Capture(int handle);
/* Reads one frame on the caller's thread into `buffer` (may be NULL to only process it). */
int Tevrin_SnapShot(int handle, BYTE* buffer, int size, int rowOrder);
/* Hardware-triggered frames, delivered as in Tevrin_CallBackPreview. A camera
   lost meanwhile is reported as in preview: error 13 and TEVRIN_MSG_FRAME
   with 13. */
int Tevrin_Trigger(int handle, HWND frameWindow, BYTE* buffer, int size, int rowOrder);
/* Copies the output image of the last acquisition, in the colour mode it was
   set up with. Error 5 when there is none yet or the buffer is smaller. */
int Tevrin_GetImage(int handle, BYTE* buffer, int size, int rowOrder);
/* Starts a preview (drawn into the preview window when showWindow is nonzero
   and one is placed) and records its processed frames into an uncompressed
   AVI file for durationMs from the first frame; the preview goes on after
   the recording. Returns at once. Stopping or closing the preview, releasing
   the handle or losing the camera ends the recording early, with the file
   finished. A recording that cannot write its file ends with the frames
   written so far finished (or the file removed) and posts error 12.
   Errors also: 9 empty or NULL path, durationMs below 1; 1 while a recording
   runs; 12 file cannot be created or preview cannot start; 5 no memory for
   the frame buffers. */
int Tevrin_Record(int handle, const char* path, int durationMs, int showWindow);
int Tevrin_RecordW(int handle, const wchar_t* path, int durationMs, int showWindow);
/* Not supported: post error 11 only and return 0. One entry point under four names. */
int Tevrin_Fps(int handle);
int Tevrin_GetHalfClock(int handle);
int Tevrin_SetHalfClock(int handle, int value);
int Tevrin_SetCrossbar(int handle, int value);

/* ---- Image geometry and output format ---- */

/* Effective width / height of the image window (not divided by subsampling). */
int Tevrin_Width(int handle);
int Tevrin_Height(int handle);
/* Selects the stored size entry with this effective size. Errors: 1, 4 no entry, 7 invalid or refused. */
int Tevrin_SetCaptureWindow(int handle, int width, int height);
/* Errors: 1, 9 size not free on this camera, 7 invalid window or refused. */
int Tevrin_SetCaptureWindowEx(int handle, int hTotal, int hStart, int hEffective, int vTotal, int vStart,
                              int vEffective);
/* Writes TH, EHS, EH, TV, EVS, EV to the non-null pointers; 1. */
int Tevrin_GetCaptureWindowEx(int handle, int* hTotal, int* hStart, int* hEffective, int* vTotal, int* vStart,
                              int* vEffective);
/* 8, 16, 24, 32, 48 or 64. Error 9 for other values or modes the camera cannot deliver.
   Takes effect at the next acquisition setup (Preview, CallBackPreview,
   Capture, Trigger, or a SnapShot from idle); a running acquisition and the
   image it left for GetImage/SaveImage keep the mode they were set up with. */
int Tevrin_SetColorMode(int handle, int bits);
/* Bits of the current mode; -1 for an unknown handle. */
int Tevrin_GetColorMode(int handle);
/* 0 full, 1 half; other values return 0 without an error. */
int Tevrin_SetSubSample(int handle, int mode);
int Tevrin_GetSubSample(int handle); /* -1 for an unknown handle */
/* Preview poll delay in ms, 0..1000: larger values are stored as 1000 (also
   when loaded from the registry); negative values return 0 without an error.
   A stop never waits for the delay to pass. */
int Tevrin_SetWaitTime(int handle, int ms);
int Tevrin_GetWaitTime(int handle); /* -1 for an unknown handle */
/* Errors: 1 no device (V: posts only), 6 the camera refused. */
int Tevrin_SetMirrorH(int handle, int on);
int Tevrin_SetMirrorV(int handle, int on);
int Tevrin_GetMirrorH(int handle);
int Tevrin_GetMirrorV(int handle);
/* The camera's extension command 0 with the rate; its result, 0 without a device. */
int Tevrin_SetSamplingRate(int handle, int rate);
/* Writes 0 to *value and returns 0. One entry point under two names. */
int Tevrin_GetSamplingRate(int handle, int* value);
int Tevrin_GetVideoFormat(int handle, int* value);
/* Parent and placement of the preview window for the next acquisition. Error 1. */
int Tevrin_SetPreviewWindow(int handle, HWND parent, int x, int y, int width, int height);

/* ---- Exposure, gain, analog values ---- */

/* Exposure in seconds, held to the camera's range (CameraInfo); the time the
   camera took is what the getters report. Errors: 1, 11 not supported, 9 for
   NaN and negative times. */
int Tevrin_SetExposureTimeEx(int handle, double seconds);
/* -1.0 when not obtained (0.0 for an unknown handle). */
double Tevrin_GetExposureTimeEx(int handle, int* ok);
/* Exposure in microseconds, kept in 100 us units. Errors: 1, 9 out of range. */
int Tevrin_SetRealExposureTime(int handle, int microseconds);
int Tevrin_GetRealExposureTime(int handle, int* ok);
/* Degrees Celsius; 0.0 when not obtained. Errors: 1, 11, 12 read failed. */
double Tevrin_GetTemperatureEx(int handle, int* ok);
/* Automatic exposure: 0 off, 1 by exposure, 2 by global gain; other values
 * post error 9 only. While on, every processed frame (preview, callback,
 * trigger, snapshot) may move the camera's exposure or gain: five regions of
 * the raw frame are judged and the value scaled by a factor outside 0.6..1.2. */
int Tevrin_SetAutoIris(int handle, int mode);
int Tevrin_GetAutoIris(int handle, int* ok);
/* Posts error 11 only when the camera has no internal correction. */
int Tevrin_GetInternalCorrection(int handle, int* ok);
int Tevrin_SetInternalCorrection(int handle, int value);

/* ---- Registers, ports, EEPROM ---- */

/* 16-bit FPGA register (low 8 bits of address). Errors: 1, 6. */
int Tevrin_Fpga_ReadRegister(int handle, int address, int* ok);
int Tevrin_Fpga_WriteRegister(int handle, int address, int value);
/* Sensor register, low 8 bits of address (Ex: full address). Errors: 1, 6. */
int Tevrin_ReadRegister(int handle, int address, int* ok);
int Tevrin_ReadRegisterEx(int handle, int address, int* ok);
int Tevrin_WriteRegister(int handle, int address, int value);
int Tevrin_WriteRegisterEx(int handle, int address, int value);
/* EEPROM byte at the 12-bit address; failures post error 1 only. */
int Tevrin_ReadSromID(int handle, int address, int* ok);
int Tevrin_WriteSromID(int handle, int address, int value);
/* FPGA register 7; failures post only (9 read failed or NULL, 1 no device). */
int Tevrin_GetIOPort(int handle, BYTE* value);
int Tevrin_SetIOPort(int handle, int value);

/* ---- Masks, files, dialogs, configuration ---- */

/* Saves the image of the last acquisition, in its colour mode. Needs a
   processed frame (error 1). format: TEVRIN_FORMAT_* (others return 0
   without an error). A file that cannot be
   written is error 12, and GetLastError() on the calling thread then gives
   the system's reason (e.g. ERROR_PATH_NOT_FOUND). */
int Tevrin_SaveImage(int handle, const char* path, int format);
int Tevrin_SaveImageW(int handle, const wchar_t* path, int format);
/* The four reference frames of the defect mask (dark and white, 8 and 16
 * bits) as one file of exactly 1966120 bytes. A load replaces all four and
 * rebuilds the defect maps, or, when it fails, changes nothing. A save writes
 * a temporary file beside the target and renames it over the target when
 * complete, so a failed save leaves the previous file. Errors: 1 no camera
 * device, 9 null or empty path, 14 the file cannot be opened or created, is
 * not exactly the mask layout (header, length) or cannot be written whole,
 * 12 (W forms) the path does not convert or needs more than 1023 bytes,
 * 5 out of memory. Any thread; the frames being processed see the old or the
 * new references, never a mixture. */
int Tevrin_LoadMaskFile(int handle, const char* path);
int Tevrin_SaveMaskFile(int handle, const char* path);
int Tevrin_LoadMaskFileW(int handle, const wchar_t* path);
int Tevrin_SaveMaskFileW(int handle, const wchar_t* path);
/* 0 dark reference, 1 white reference of the frame's depth, from the last
 * frame taken (snapshot or preview); its defect map is rebuilt. A frame other
 * than the full 640 x 512 (window, subsampling) changes nothing and returns 1.
 * Errors: 1 no camera device or no frame taken yet, 12 kind not 0 or 1. */
int Tevrin_UpdateMaskData(int handle, int kind);
/* Modal setting dialogs. Error 1 without a camera. */
int Tevrin_SetCameraDlg(int handle, HWND parent);
int Tevrin_SetAnalogDlg(int handle, HWND parent);
int Tevrin_SetImageDlg(int handle, HWND parent);
/* Reads a file of 8-byte records; 0 without an error when it cannot be read. */
int Tevrin_LoadConfigFileA(int handle, const char* path);
int Tevrin_LoadConfigFileW(int handle, const wchar_t* path);
/* Not supported: record error 11 and return -1. */
int Tevrin_SetConfigFilter(int handle);
int Tevrin_GetConfigFilter(int handle);
/* Not supported: record error 11 and return 0. One entry point under two names. */
int Tevrin_SendText(int handle, const char* text);
int Tevrin_ReceiveText(int handle, char* text, int size);

/* ---- Filter values ----
   Set: 1/0; Get: the value, *ok (may be NULL) 1 or 0. Errors: 1 no device,
   9 unknown ID or value out of range (the stored value stays), 11 not
   supported by the camera, 6 the camera refused. */
int Tevrin_SetFilterValue(int handle, int id, int value);
int Tevrin_GetFilterValue(int handle, int id, int* ok);

int Tevrin_SetBrightness(int handle, int value);
int Tevrin_GetBrightness(int handle, int* ok);
int Tevrin_SetContrast(int handle, int value);
int Tevrin_GetContrast(int handle, int* ok);
int Tevrin_SetHue(int handle, int value);
int Tevrin_GetHue(int handle, int* ok);
int Tevrin_SetSaturation(int handle, int value);
int Tevrin_GetSaturation(int handle, int* ok);
int Tevrin_SetSharpness(int handle, int value);
int Tevrin_GetSharpness(int handle, int* ok);
int Tevrin_SetBayerGainRGB(int handle, int value);
int Tevrin_GetBayerGainRGB(int handle, int* ok);
int Tevrin_SetBayerGainRed(int handle, int value);
int Tevrin_GetBayerGainRed(int handle, int* ok);
int Tevrin_SetBayerGainGreen(int handle, int value);
int Tevrin_GetBayerGainGreen(int handle, int* ok);
int Tevrin_SetBayerGainBlue(int handle, int value);
int Tevrin_GetBayerGainBlue(int handle, int* ok);
int Tevrin_SetBayerGainAuto(int handle, int value);
int Tevrin_GetBayerGainAuto(int handle, int* ok);
int Tevrin_SetGamma(int handle, int value);
int Tevrin_GetGamma(int handle, int* ok);
int Tevrin_SetBayerMode(int handle, int value);
int Tevrin_GetBayerMode(int handle, int* ok);
int Tevrin_SetGlobalGain(int handle, int value);
int Tevrin_GetGlobalGain(int handle, int* ok);
int Tevrin_SetColorGainRed(int handle, int value);
int Tevrin_GetColorGainRed(int handle, int* ok);
int Tevrin_SetColorGainGreen1(int handle, int value);
int Tevrin_GetColorGainGreen1(int handle, int* ok);
int Tevrin_SetColorGainGreen2(int handle, int value);
int Tevrin_GetColorGainGreen2(int handle, int* ok);
int Tevrin_SetColorGainBlue(int handle, int value);
int Tevrin_GetColorGainBlue(int handle, int* ok);
int Tevrin_SetExposureTime(int handle, int value);
int Tevrin_GetExposureTime(int handle, int* ok);
int Tevrin_SetGrayMode(int handle, int value);
int Tevrin_GetGrayMode(int handle, int* ok);
int Tevrin_SetGrayGainR(int handle, int value);
int Tevrin_GetGrayGainR(int handle, int* ok);
int Tevrin_SetGrayGainG1(int handle, int value);
int Tevrin_GetGrayGainG1(int handle, int* ok);
int Tevrin_SetGrayGainG2(int handle, int value);
int Tevrin_GetGrayGainG2(int handle, int* ok);
int Tevrin_SetGrayGainB(int handle, int value);
int Tevrin_GetGrayGainB(int handle, int* ok);
int Tevrin_SetGrayOffsetR(int handle, int value);
int Tevrin_GetGrayOffsetR(int handle, int* ok);
int Tevrin_SetGrayOffsetG1(int handle, int value);
int Tevrin_GetGrayOffsetG1(int handle, int* ok);
int Tevrin_SetGrayOffsetG2(int handle, int value);
int Tevrin_GetGrayOffsetG2(int handle, int* ok);
int Tevrin_SetGrayOffsetB(int handle, int value);
int Tevrin_GetGrayOffsetB(int handle, int* ok);
/* Channels 1-4; any other channel returns 0 without an error. */
int Tevrin_SetChannelGain(int handle, int channel, int value);
int Tevrin_GetChannelGain(int handle, int channel, int* ok);
int Tevrin_SetChannelOffset(int handle, int channel, int value);
int Tevrin_GetChannelOffset(int handle, int channel, int* ok);
int Tevrin_SetPeltier(int handle, int value);
int Tevrin_GetPeltier(int handle, int* ok);     /* -1 when the camera has no cooler */
int Tevrin_GetTemperature(int handle, int* ok); /* always -1 with error 11: use Tevrin_GetTemperatureEx */
int Tevrin_SetDotFilter(int handle, int value);
int Tevrin_GetDotFilter(int handle, int* ok);
int Tevrin_SetMaskFilter(int handle, int value);
int Tevrin_GetMaskFilter(int handle, int* ok);

#ifdef __cplusplus
}
#endif

#endif /* TEVRINSDK_HALDEN_H */
