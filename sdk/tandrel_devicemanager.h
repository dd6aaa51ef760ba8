/* The device-manager library's five exports, as the launcher calls them.
 *
 * A replacement library exports exactly these names, undecorated (use a .def file on 32-bit
 * Windows), in the C calling convention. Every argument occupies one 32-bit stack slot on 32-bit
 * Windows; 16-bit values (tag, command, parameter, count) arrive in such a slot and only their low
 * 16 bits are meaningful. Booleans are judged by their low 8 bits only.
 *
 * Device path: a NUL-terminated UTF-16 string, at most 127 code units plus the terminator; never a
 * null pointer (an unknown path is an empty string). */
#ifndef TANDREL_DEVICEMANAGER_H
#define TANDREL_DEVICEMANAGER_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define TANDREL_DM_CALL __cdecl
#else
#define TANDREL_DM_CALL
#endif

#ifdef __cplusplus
typedef char16_t tandrel_dm_char;
extern "C" {
#else
typedef uint16_t tandrel_dm_char;
#endif

/* Room, in UTF-16 code units, of the path buffer handed to GetUsbDeviceFromHub (256 bytes). */
#define TANDREL_DM_PATH_CHARS 128

/* Initial: the launcher's main window handle; the result is not relied on. */
typedef int32_t(TANDREL_DM_CALL* TandrelDmInitialFn)(void* windowHandle);
/* CloseQuery: called before the library is freed. */
typedef void(TANDREL_DM_CALL* TandrelDmCloseQueryFn)(void);
/* Write: true (low 8 bits) when the receiver accepted the command. */
typedef uint32_t(TANDREL_DM_CALL* TandrelDmWriteFn)(const tandrel_dm_char* devicePath,
                                                    uint32_t deviceTag, uint32_t command,
                                                    uint32_t parameter, uint32_t count);
/* Read: true (low 8 bits) when byteCount bytes were placed in buffer. */
typedef uint32_t(TANDREL_DM_CALL* TandrelDmReadFn)(const tandrel_dm_char* devicePath,
                                                   uint32_t deviceTag, uint32_t command,
                                                   uint32_t parameter, uint32_t byteCount,
                                                   void* buffer);
/* GetUsbDeviceFromHub: the number of attached receivers with these identifiers; when it is 1,
 * pathBuffer (TANDREL_DM_PATH_CHARS code units) holds the receiver's path and *deviceTag its tag.
 */
typedef int32_t(TANDREL_DM_CALL* TandrelDmGetUsbDeviceFromHubFn)(uint32_t vendorId,
                                                                 uint32_t productId, int32_t index,
                                                                 tandrel_dm_char* pathBuffer,
                                                                 int32_t* deviceTag);

#ifdef __cplusplus
}
#endif

#endif
