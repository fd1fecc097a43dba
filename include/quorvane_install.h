/* The interface between velmorin and a product's installer library.
 *
 * velmorin downloads and verifies a product's package, then loads the installer
 * library named by its install descriptor from the download directory and calls its
 * entry point "quorvane_install2" with a QuorvaneInstallArgs record. Every function
 * in this header, the entry point included, uses the QUORVANE_CALL convention.
 */
#ifndef QUORVANE_INSTALL_H
#define QUORVANE_INSTALL_H

#include <stdint.h>
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#define QUORVANE_CALL __cdecl

/* A settings list returned by loadSettings; opaque to the library. */
typedef struct QuorvaneSettingsList QuorvaneSettingsList;

/* A file the library installed, registered so that it goes into a rescue package. */
typedef struct QuorvaneRelatedFile {
  uint32_t size;         /* sizeof(QuorvaneRelatedFile) */
  const char* localPath; /* where the file is installed */
  const char* uri;       /* its relative name inside a rescue package; may be NULL */
} QuorvaneRelatedFile;

typedef unsigned char(QUORVANE_CALL* QuorvaneReadSettingsLine)(HANDLE file, char* line);
typedef QuorvaneSettingsList*(QUORVANE_CALL* QuorvaneLoadSettings)(const char* fileName);
typedef const char*(QUORVANE_CALL* QuorvaneFindSetting)(const QuorvaneSettingsList* list,
                                                        const char* key,
                                                        unsigned char upperCased);
typedef int32_t(QUORVANE_CALL* QuorvaneFindSettingNumber)(const QuorvaneSettingsList* list,
                                                          const char* key);
typedef LRESULT(QUORVANE_CALL* QuorvaneSetConsoleColor)(int colour);
typedef void(QUORVANE_CALL* QuorvaneConsoleReport)(const char* text, const char* detail,
                                                   unsigned char newLineBefore,
                                                   unsigned char newLineAfter);
typedef unsigned char(QUORVANE_CALL* QuorvaneRegisterRelatedFile)(
    const QuorvaneRelatedFile* file);
typedef int(QUORVANE_CALL* QuorvaneMessageBox)(const char* text, UINT style);

/* The record given to the entry point. */
typedef struct QuorvaneInstallArgs {
  uint32_t size;
  const char* productName;
  const char* downloadRoot;
  QuorvaneReadSettingsLine readSettingsLine;
  QuorvaneLoadSettings loadSettings;
  QuorvaneFindSetting findSetting;
  QuorvaneFindSettingNumber findSettingNumber;
  uint32_t reserved;
  HWND mainWindow;
  QuorvaneSetConsoleColor setConsoleColor;
  QuorvaneConsoleReport consoleReport;
  QuorvaneRegisterRelatedFile registerRelatedFile;
  QuorvaneMessageBox messageBox;
} QuorvaneInstallArgs;

/* The entry point: non-zero for a successful installation. */
typedef unsigned char(QUORVANE_CALL* QuorvaneInstallEntry)(QuorvaneInstallArgs* args);

#ifdef __cplusplus
}
#endif

#endif
