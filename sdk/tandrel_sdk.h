/* Tandrel launcher SDK: what the author of a feature module or of a device-manager library needs.
 *
 * A feature module is a DLL with one export, called by the launcher on its GUI thread with a
 * pointer to a context record. The export returns only when the module has finished with its
 * window; the launcher then frees the library at once, so the module keeps no pointer into the
 * record or its strings. While the module runs, it talks to the receiver only by sending the
 * registered messages below to the launcher's main window (the record's `window`), which answers
 * with registered messages of its own. Message identifiers are obtained by name with
 * RegisterWindowMessageW; their values are not part of the protocol.
 *
 *   Module           Library path under the forms folder    Export
 *   message confirm  MessageConfirm\MessageConfirm.dll      return_MessageConfirm
 *   multi-pair       MultiPairForm\MultiPairForm.dll        return_MultiPairForm
 *   RSSI display     RSSIDisplay\RSSIDisplay.dll            return_RSSIDisplay
 *
 * The exports use the standard Windows calling convention (TANDREL_MODULE_CALL) and must be
 * exported under their plain names. On 32-bit Windows compilers decorate a __stdcall export:
 * MinGW's linker exports "return_RSSIDisplay@4", Microsoft's "_return_RSSIDisplay@4"; either way
 * the launcher would not find it. Name the export in a .def file
 *     EXPORTS
 *       return_RSSIDisplay
 * and, with MinGW, link with -Wl,--kill-at. On 64-bit Windows there is one calling convention
 * and no decoration.
 *
 * The device-manager library's exports are in tandrel_devicemanager.h, included here.
 *
 * Compiles as C89, C99 and later, and as C++11 or later (the header uses char16_t in C++). */
#ifndef TANDREL_SDK_H
#define TANDREL_SDK_H

#include <stddef.h>
#include <stdint.h>

#include "tandrel_devicemanager.h"

/* The names below are narrow string literals; these make wide (wchar_t) and, in C11 and C++11,
 * UTF-16 (char16_t) literals of them: TANDREL_WIDE(TANDREL_MSG_NAME_PAIR_START). */
#define TANDREL_WIDE_(s) L##s
#define TANDREL_WIDE(s) TANDREL_WIDE_(s)
#define TANDREL_U16_(s) u##s
#define TANDREL_U16(s) TANDREL_U16_(s)

#if defined(_WIN32) && !defined(_WIN64)
#define TANDREL_MODULE_CALL __stdcall
#else
#define TANDREL_MODULE_CALL
#endif

#ifdef __cplusplus
#define TANDREL_EXTERN_C extern "C"
#else
#define TANDREL_EXTERN_C
#endif
#ifdef _WIN32
#define TANDREL_MODULE_EXPORT TANDREL_EXTERN_C __declspec(dllexport)
#else
#define TANDREL_MODULE_EXPORT TANDREL_EXTERN_C __attribute__((visibility("default")))
#endif

#if defined(__cplusplus) || (defined(__STDC_VERSION__) && __STDC_VERSION__ >= 199901L)
#define TANDREL_SDK_INLINE static inline
#elif defined(__GNUC__)
#define TANDREL_SDK_INLINE static __inline__ __attribute__((unused))
#else
#define TANDREL_SDK_INLINE static
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Strings -------------------------------------------------------------------------------
 *
 * A string field of a record points at the first UTF-16 code unit of a NUL-terminated text; a
 * null pointer is the empty text. In front of the first character lies the launcher's string
 * header. Read the characters only (up to the terminator or `length` code units); never write,
 * keep or free a string. */
typedef tandrel_dm_char tandrel_char;

typedef struct TandrelStringHeader {
#if UINTPTR_MAX > 0xFFFFFFFFu
  int32_t padding; /* 0; keeps the characters 8-byte aligned on 64-bit */
#endif
  uint16_t codePage;    /* 1200 (UTF-16 LE) */
  uint16_t elementSize; /* 2 */
  int32_t refCount;     /* 1 */
  int32_t length;       /* code units, without the terminator */
} TandrelStringHeader;  /* 12 bytes on 32-bit, 16 on 64-bit */

/* The header of a non-null string field. */
#define TANDREL_STRING_HEADER(s) \
  ((const TandrelStringHeader*)(const void*)((const char*)(s) - sizeof(TandrelStringHeader)))
/* The length in code units of a string field; 0 for the null (empty) string. */
#define TANDREL_STRING_LENGTH(s) ((s) ? TANDREL_STRING_HEADER(s)->length : 0)

/* The characters of a string field, never null: the empty text for a null field. */
TANDREL_SDK_INLINE const tandrel_char* tandrel_string_text(const tandrel_char* s) {
  static const tandrel_char empty[1] = {0};
  return s ? s : empty;
}

/* ---- Context records -----------------------------------------------------------------------
 *
 * Natural C alignment (the compilers' default packing) gives these offsets: */
/* clang-format off */
/*
 *   field                            32-bit   64-bit   filled with
 *   languageId (u16)                      0        0   0: the user's default language
 *   sectionPath (string)                  4        8   section-name suffixes for text lookups,
 *                                                       "." separated; empty (null) today
 *   window (HWND)                         8       16   the launcher's main window
 *   formsFolder (string)                 12       24   the forms folder, ending in "\"
 *
 *   TandrelMessageConfirmRecord      24 bytes 48 bytes
 *     messageText (string)               16       32   the text to show
 *     reserved (i32)                     20       40   0
 *
 *   TandrelMultiPairFormRecord       32 bytes 56 bytes
 *     param0 (i32)                       16       32   0
 *     param1 (i32)                       20       36   0
 *     param2 (i32)                       24       40   1
 *     text (string)                      28       48   empty (null)
 *
 *   TandrelRSSIDisplayRecord         20 bytes 40 bytes
 *     receiverOk (u8)                    16       32   1
 */
/* clang-format on */
/*
 * formsFolder arrives as the launcher builds it: the launcher's folder (ending in "\") followed
 * by "\Data\Tandrel_Program\Forms\", so it holds one doubled backslash, for example
 * "C:\Program Files\Tandrel\\Data\Tandrel_Program\Forms\". Windows' file functions read
 * the doubled backslash as one; append your own file names to it as they are.
 *
 * The module's texts: the forms folder + "Texts\" holds one language file per language, named
 * by tandrel_language_name() + ".txt", with "English.txt" as fallback (INI layout; four
 * backslashes in a value stand for a line break). A module reads its own section, named after
 * its library ("RSSIDisplay.dll"), extended by the section path: with path "a.b", the sections
 * "RSSIDisplay.dll.a.b", "RSSIDisplay.dll.a" and "RSSIDisplay.dll" are tried in that order. */
typedef struct TandrelMessageConfirmRecord {
  uint16_t languageId;
  const tandrel_char* sectionPath;
  void* window;
  const tandrel_char* formsFolder;
  const tandrel_char* messageText;
  int32_t reserved;
} TandrelMessageConfirmRecord;

typedef struct TandrelMultiPairFormRecord {
  uint16_t languageId;
  const tandrel_char* sectionPath;
  void* window;
  const tandrel_char* formsFolder;
  int32_t param0;
  int32_t param1;
  int32_t param2;
  const tandrel_char* text;
} TandrelMultiPairFormRecord;

typedef struct TandrelRSSIDisplayRecord {
  uint16_t languageId;
  const tandrel_char* sectionPath;
  void* window;
  const tandrel_char* formsFolder;
  uint8_t receiverOk;
} TandrelRSSIDisplayRecord;

/* Compile-time checks of the table above (a negative array size fails the build). */
#define TANDREL_SDK_CHECK(name, cond) typedef char tandrel_sdk_check_##name[(cond) ? 1 : -1]
#if UINTPTR_MAX > 0xFFFFFFFFu
TANDREL_SDK_CHECK(string_header, sizeof(TandrelStringHeader) == 16);
TANDREL_SDK_CHECK(message_confirm, offsetof(TandrelMessageConfirmRecord, reserved) == 40 &&
                                       sizeof(TandrelMessageConfirmRecord) == 48);
TANDREL_SDK_CHECK(multi_pair, offsetof(TandrelMultiPairFormRecord, text) == 48 &&
                                  sizeof(TandrelMultiPairFormRecord) == 56);
TANDREL_SDK_CHECK(rssi, offsetof(TandrelRSSIDisplayRecord, receiverOk) == 32 &&
                            sizeof(TandrelRSSIDisplayRecord) == 40);
#else
TANDREL_SDK_CHECK(string_header, sizeof(TandrelStringHeader) == 12);
TANDREL_SDK_CHECK(message_confirm, offsetof(TandrelMessageConfirmRecord, reserved) == 20 &&
                                       sizeof(TandrelMessageConfirmRecord) == 24);
TANDREL_SDK_CHECK(multi_pair, offsetof(TandrelMultiPairFormRecord, text) == 28 &&
                                  sizeof(TandrelMultiPairFormRecord) == 32);
TANDREL_SDK_CHECK(rssi, offsetof(TandrelRSSIDisplayRecord, receiverOk) == 16 &&
                            sizeof(TandrelRSSIDisplayRecord) == 20);
#endif

/* ---- Feature-module exports and their life -----------------------------------------------
 *
 * A module defines its export like this:
 *   TANDREL_MODULE_EXPORT int32_t TANDREL_MODULE_CALL
 *   return_MultiPairForm(const TandrelMultiPairFormRecord* record) { ... }
 *
 * Each use of a module, as the launcher makes it:
 *   1. A feature button is pressed. The launcher checks the receiver (exactly one, firmware 38
 *      or above); when the check fails it shows its message through the message-confirm module
 *      and starts nothing.
 *   2. It loads the module's library from its full path (its own folder and the system's are
 *      searched for the library's dependencies, never the current directory), fills the record
 *      and calls the export on its GUI thread. The main window is disabled for the duration of
 *      the call, as a modal form leaves its owner; a press on it that arrives anyway starts
 *      nothing, so one module runs at a time and an export is never entered twice. From the
 *      load to the free, common controls 6 are active (an activation context of the
 *      launcher's): the controls a module makes in the call are version 6, as under an
 *      application manifest that asks for them.
 *   3. The export runs the module's window: a modal loop of its own, or any loop that dispatches
 *      the thread's messages. The launcher's main window is served from that loop: the requests
 *      below are handled while the module's SendMessageW waits.
 *   4. When the export returns, the main window is enabled again and the library is freed at
 *      once: no window, timer, thread or hook of the module may outlive the call.
 *   5. After the multi-pair module returns (whatever it returns) the launcher closes. After the
 *      signal display it stays, and either feature can be started again.
 * The message-confirm module is called the same way, with the text to show.
 *
 * The launcher does not use the multi-pair result. */
/* The modules' library files under the forms folder. */
#define TANDREL_MODULE_FILE_MESSAGE_CONFIRM "MessageConfirm\\MessageConfirm.dll"
#define TANDREL_MODULE_FILE_MULTI_PAIR_FORM "MultiPairForm\\MultiPairForm.dll"
#define TANDREL_MODULE_FILE_RSSI_DISPLAY "RSSIDisplay\\RSSIDisplay.dll"

#define TANDREL_EXPORT_MESSAGE_CONFIRM "return_MessageConfirm"
#define TANDREL_EXPORT_MULTI_PAIR_FORM "return_MultiPairForm"
#define TANDREL_EXPORT_RSSI_DISPLAY "return_RSSIDisplay"

typedef void(TANDREL_MODULE_CALL* TandrelMessageConfirmFn)(
    const TandrelMessageConfirmRecord* record);
typedef int32_t(TANDREL_MODULE_CALL* TandrelMultiPairFormFn)(
    const TandrelMultiPairFormRecord* record);
typedef void(TANDREL_MODULE_CALL* TandrelRSSIDisplayFn)(const TandrelRSSIDisplayRecord* record);

/* ---- Registered messages -------------------------------------------------------------------
 *
 * Names for RegisterWindowMessageW. Send the requests (SendMessageW) to the record's `window`:
 * the launcher carries them out before the send returns, and the send returns the result below.
 * A request posted instead is carried out too, but its result is lost. Answers go only to an
 * existing window given in wParam; HWND_BROADCAST or a handle that names no window gets none.
 *
 *   AM_PAIR_START      module -> launcher, sent. wParam, lParam: not used.
 *                      Starts pairing on the receiver (about 20 ms).
 *                      Returns 1 on success, 0 on failure.
 *   AM_PAIR_STOP       module -> launcher, sent. wParam, lParam: not used.
 *                      Stops pairing. Returns 1 on success, 0 on failure.
 *   AM_PAIR_GET_ID     module -> launcher, sent. wParam: the window to receive
 *                      AM_PAIR_RETURN_ID; lParam: not used. Reads the newly paired device and
 *                      stores it in the receiver's pairing table (about 250 ms; a table write
 *                      that does not verify is written again, at most three times).
 *                      Returns 1 when the device was read and stored, or no new device was
 *                      reported; 0 when the receiver could not be read or the table could not
 *                      be written. AM_PAIR_RETURN_ID is posted in both cases.
 *   AM_PAIR_RETURN_ID  launcher -> that window, posted, so it arrives from the module's message
 *                      queue after AM_PAIR_GET_ID has returned. wParam: device kind, 1 (keyboard)
 *                      or 2 (mouse), or -1 when no new device was reported or the request failed
 *                      (all bits set, on 64-bit too: compare with (WPARAM)(INT_PTR)-1); lParam:
 *                      the device identifier, at most 19 bits, 0 with kind -1.
 *   AM_CHANNEL_SETTING_EX_REQUEST_RFINFO
 *                      module -> launcher, sent. wParam: the requesting window; lParam: not
 *                      used. Answered with one of the next two, sent to the requesting window
 *                      before the request returns. Returns 0.
 *   AM_CHANNEL_SETTING_EX_RFINFO
 *                      launcher -> requesting window, sent. wParam: the radio channel (0 to 31);
 *                      lParam: the signal level (0 to 255).
 *   AM_DEVICE_REMOVE   launcher -> requesting window, sent, when the receiver stays unreadable:
 *                      three reads of its radio page, 20 ms apart, have failed. wParam, lParam:
 *                      0. The launcher closes right afterwards, so the module should finish. */
#define TANDREL_MSG_NAME_PAIR_START "AM_PAIR_START"
#define TANDREL_MSG_NAME_PAIR_STOP "AM_PAIR_STOP"
#define TANDREL_MSG_NAME_PAIR_GET_ID "AM_PAIR_GET_ID"
#define TANDREL_MSG_NAME_PAIR_RETURN_ID "AM_PAIR_RETURN_ID"
#define TANDREL_MSG_NAME_REQUEST_RFINFO "AM_CHANNEL_SETTING_EX_REQUEST_RFINFO"
#define TANDREL_MSG_NAME_RFINFO "AM_CHANNEL_SETTING_EX_RFINFO"
#define TANDREL_MSG_NAME_DEVICE_REMOVE "AM_DEVICE_REMOVE"

/* The same names as wide strings, for RegisterWindowMessageW. */
#define TANDREL_MSG_PAIR_START TANDREL_WIDE(TANDREL_MSG_NAME_PAIR_START)
#define TANDREL_MSG_PAIR_STOP TANDREL_WIDE(TANDREL_MSG_NAME_PAIR_STOP)
#define TANDREL_MSG_PAIR_GET_ID TANDREL_WIDE(TANDREL_MSG_NAME_PAIR_GET_ID)
#define TANDREL_MSG_PAIR_RETURN_ID TANDREL_WIDE(TANDREL_MSG_NAME_PAIR_RETURN_ID)
#define TANDREL_MSG_REQUEST_RFINFO TANDREL_WIDE(TANDREL_MSG_NAME_REQUEST_RFINFO)
#define TANDREL_MSG_RFINFO TANDREL_WIDE(TANDREL_MSG_NAME_RFINFO)
#define TANDREL_MSG_DEVICE_REMOVE TANDREL_WIDE(TANDREL_MSG_NAME_DEVICE_REMOVE)

/* Device kinds in AM_PAIR_RETURN_ID's wParam. */
#define TANDREL_DEVICE_KIND_NONE (-1)
#define TANDREL_DEVICE_KIND_KEYBOARD 1
#define TANDREL_DEVICE_KIND_MOUSE 2

/* ---- Device-manager library exports (see tandrel_devicemanager.h for the signatures) ------- */
#define TANDREL_DM_LIBRARY_FILE "DLL\\DLL_MouseDeviceManager.dll" /* beside the launcher */
#define TANDREL_DM_LIBRARY_PATH TANDREL_WIDE(TANDREL_DM_LIBRARY_FILE)
#define TANDREL_DM_EXPORT_INITIAL "Initial"
#define TANDREL_DM_EXPORT_CLOSE_QUERY "CloseQuery"
#define TANDREL_DM_EXPORT_WRITE "Write"
#define TANDREL_DM_EXPORT_READ "Read"
#define TANDREL_DM_EXPORT_GET_USB_DEVICE_FROM_HUB "GetUsbDeviceFromHub"

/* ---- The modules' texts ---------------------------------------------------------------------
 *
 * The shipped language files (forms folder + "Texts\<Language>.txt") carry these keys for the
 * reference modules, in every shipped language; a replacement module may use them or add its
 * own section. %1, %2, %3 are replaced by the module.
 *
 *   [MultiPairForm.dll]  NoDongleExists, MultipleDongle, FirmwareTooOld (the launcher's receiver
 *                        messages); Title, Instructions, Ready, Waiting (%1: seconds left),
 *                        Finished (%1: devices paired), Stopped, NoAnswer, DeviceList, Keyboard,
 *                        Mouse, Identifier (%1: the device identifier), Start, Stop, Close
 *   [MessageConfirm.dll] Caption
 *   [RSSIDisplay.dll]    Title, Waiting, Values (%1: channel, %2: level, %3: Strong, Fair or
 *                        Weak), Strong, Fair, Weak, Removed, LegendLevel, LegendChannel,
 *                        LegendTime, Close
 * A "&" in Start, Stop and Close marks the access key. */

/* ---- Languages -----------------------------------------------------------------------------
 *
 * The language name of a Windows language identifier, as the launcher names its language files
 * ("FrenchF.txt"). Whole identifiers are matched; every identifier not listed is "English".
 * Replace identifier 0 by GetUserDefaultLangID() first. */
TANDREL_SDK_INLINE const char* tandrel_language_name(uint16_t languageId) {
  switch (languageId) {
    case 0x0404:
    case 0x0C04:
    case 0x1004:
      return "ChineseT";
    case 0x0804:
      return "ChineseS";
    case 0x0419:
      return "Russian";
    case 0x041F:
      return "Turkish";
    case 0x0410:
    case 0x0810:
      return "Italian";
    case 0x0416:
    case 0x0816:
      return "PortugueseP";
    case 0x040C:
    case 0x080C:
    case 0x0C0C:
    case 0x100C:
    case 0x140C:
    case 0x180C:
      return "FrenchF";
    case 0x0413:
    case 0x0813:
      return "Dutch";
    case 0x0407:
    case 0x0807:
    case 0x0C07:
    case 0x1007:
    case 0x1407:
      return "German";
    case 0x0411:
      return "Japanese";
    case 0x0412:
      return "Korean";
    default:
      break;
  }
  /* Spanish: primary language 0x0A with sublanguages 2 to 20 (0x040A is not among them). */
  if ((languageId & 0x3FF) == 0x0A && (languageId >> 10) >= 2 && (languageId >> 10) <= 20)
    return "Spanish";
  return "English";
}

#ifdef __cplusplus
}
#endif

#endif
