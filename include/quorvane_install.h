/* quorvane_install.h: the interface between velmorin and a product's installer library.
 *
 * WHAT HAPPENS
 *   velmorin brings a complete, verified copy of a product's package into a download
 *   directory (the "download root"). Once the user confirms, it loads the installer
 *   library named by the product's install descriptor (its fifth line, for example
 *   "setupzentrav.dll") from that directory, looks up the export "quorvane_install2"
 *   and calls it once, on a thread of its own (the installer thread), with a
 *   QuorvaneInstallArgs record. The library installs the product however it likes,
 *   using the services in the record to talk to the user, and returns non-zero for a
 *   successful installation. Whatever it returns, velmorin then reports the result,
 *   offers the rescue package after a success, offers the log, and ends the process
 *   (exit code 512). The rescue setup program (setup.exe of a rescue package) loads
 *   the same library from the package directory and calls it the same way.
 *
 * BUILDING A LIBRARY
 *   - A Windows DLL for the same architecture as the installer (x64 for velmorin.exe
 *     on 64-bit Windows, x86 for a 32-bit build). Link it statically against its C
 *     and C++ run-time (mingw-w64: -static -static-libgcc -static-libstdc++), since
 *     the package directory is the only place the loader searches beside the
 *     system directories.
 *   - Export exactly the name "quorvane_install2", undecorated: define the entry
 *     point as below. With QUORVANE_CALL (__cdecl) both mingw-w64 and MSVC export
 *     the plain name on x86 too; __stdcall would export "_quorvane_install2@4",
 *     which velmorin would not find.
 *   - Put the DLL into the product's package, at the top of the package directory,
 *     under the name the install descriptor gives.
 *
 * CALLING CONVENTION
 *   Every function in this header, the entry point and all eight services, uses
 *   QUORVANE_CALL (__cdecl). On x64 Windows there is only one convention anyway; on
 *   x86 it matters, and both sides must use this one.
 *
 * THREADS
 *   The entry point runs on the installer thread, not on the thread of velmorin's
 *   windows, which keeps running meanwhile (so a library may take its time, and its
 *   message boxes are owned by the main window). Call the services only on the
 *   installer thread and only until the entry point returns: the related-file
 *   register and the settings lists take no lock. A library that starts threads of
 *   its own must let them finish before it returns and must not call the services
 *   from them.
 *
 * LIFETIMES
 *   - The record, the product name and the download root stay valid, unchanged, for
 *     the rest of the process. Treat them as read-only.
 *   - The library is never unloaded. The process ends soon after the entry point
 *     returns, through ExitProcess; DLL_PROCESS_DETACH may or may not be delivered,
 *     so flush and close everything before returning.
 *   - Settings lists and the texts findSetting returns live until the process ends;
 *     there is nothing to free.
 *
 * TEXTS
 *   All texts are zero-terminated byte strings in the ANSI code page. Paths use
 *   backslashes. Text fields of velmorin hold at most 255 characters.
 *
 * A MINIMAL LIBRARY (C; in C++ the QUORVANE_EXPORT macro adds extern "C")
 *
 *     #include <stdio.h>
 *     #include <windows.h>
 *     #include "quorvane_install.h"
 *
 *     QUORVANE_EXPORT unsigned char QUORVANE_CALL quorvane_install2(QuorvaneInstallArgs* args) {
 *       char settingsPath[MAX_PATH];
 *       snprintf(settingsPath, sizeof settingsPath, "%s\\product.ini", args->downloadRoot);
 *       QuorvaneSettingsList* settings = args->loadSettings(settingsPath);
 *       const char* target = args->findSetting(settings, "target", 0);   // "" if absent
 *
 *       args->consoleReport("Installing", args->productName, 1, 1);
 *       if (args->messageBox("Install now ?", MB_YESNO | MB_ICONQUESTION) != IDYES) return 0;
 *       // ... copy files from args->downloadRoot to target ...
 *       QuorvaneRelatedFile created = {sizeof created, "C:\\Games\\Zentrav\\user.cfg",
 *                                      "user.cfg"};
 *       args->registerRelatedFile(&created);
 *       return 1;
 *     }
 *
 *   examples/sample_installer in velmorin's sources is a complete library.
 */
#ifndef QUORVANE_INSTALL_H
#define QUORVANE_INSTALL_H

#include <stdint.h>
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The one calling convention of the interface. */
#define QUORVANE_CALL __cdecl

/* The name velmorin looks up in the library. */
#define QUORVANE_ENTRY_NAME "quorvane_install2"

/* Put before the entry point's definition in the library. */
#ifdef __cplusplus
#define QUORVANE_EXPORT extern "C" __declspec(dllexport)
#else
#define QUORVANE_EXPORT __declspec(dllexport)
#endif

/* A list of settings read from a file by loadSettings: opaque, never freed. An empty
 * list is NULL and every lookup in it finds nothing. */
typedef struct QuorvaneSettingsList QuorvaneSettingsList;

/* A file that the library installed, given to registerRelatedFile so that it goes
 * into a rescue package. */
typedef struct QuorvaneRelatedFile {
  /* sizeof(QuorvaneRelatedFile): 12 on x86, 24 on x64. */
  uint32_t size;
  /* Where the file is now (full path). It is copied from there into the rescue
   * package; the text is copied at once, so it may be a local buffer. */
  const char* localPath;
  /* The file's name inside the rescue package, relative to its package directory
   * (for example "data\\extra.cfg"); a restore hands the package directory to the
   * library as its download root, so choose the name the library expects to find
   * there. NULL gives the file no name: it then cannot be saved; always pass one. */
  const char* uri;
} QuorvaneRelatedFile;

/* --- Settings services --------------------------------------------------------
 * A settings file holds lines "key=value" ending in CR LF, LF or CR. Keys are
 * compared without regard to the case of the letters a to z; values are kept as
 * written and also upper-cased. Lines without "=" are skipped. A line holds at
 * most 255 characters (the rest of a longer line is dropped). */

/* Reads the next line of a file opened with CreateFileA for reading into `line`
 * (a buffer of at least 256 bytes), without its terminator, and leaves the file at
 * the start of the next line. Returns non-zero when the line ended with a
 * terminator, 0 when the file ended first (what was read is still in `line`, so
 * the last line of a file without a final terminator arrives together with 0). */
typedef unsigned char(QUORVANE_CALL* QuorvaneReadSettingsLine)(HANDLE file, char* line);

/* Reads a whole settings file. The file must exist and must not be open elsewhere
 * (it is opened without sharing, and closed again). Returns NULL, an empty list,
 * when it cannot be opened or holds no setting. */
typedef QuorvaneSettingsList*(QUORVANE_CALL* QuorvaneLoadSettings)(const char* fileName);

/* The value of the first setting whose key equals `key` (letter case ignored; keys
 * longer than 127 characters never match): upper-cased when `upperCased` is
 * non-zero, as written otherwise. "" when there is no such setting. The text lives
 * until the process ends. */
typedef const char*(QUORVANE_CALL* QuorvaneFindSetting)(const QuorvaneSettingsList* list,
                                                        const char* key,
                                                        unsigned char upperCased);

/* The setting's value read as a decimal number (leading blanks, an optional sign,
 * digits up to the first other character), clamped to 32 bits; 0 when the key is
 * missing or the value is no number. */
typedef int32_t(QUORVANE_CALL* QuorvaneFindSettingNumber)(const QuorvaneSettingsList* list,
                                                          const char* key);

/* --- Console and window services -------------------------------------------------
 * velmorin's console shows 16 colours (0 black, 1 blue, 2 green, 3 cyan, 4 red,
 * 5 magenta, 6 brown, 7 grey, 8 to 15 their bright forms). Everything printed also
 * goes to the installation log (velmorin.log in the user's temporary directory). */

/* Sets the colour of the text printed from now on (0 to 15). Returns the console
 * window's answer to the request, which carries no information (0 today). Set 7
 * (grey) again when done. */
typedef LRESULT(QUORVANE_CALL* QuorvaneSetConsoleColor)(int colour);

/* Prints "\n" first when `newLineBefore` is non-zero, then `text`, then " " and
 * `detail` when `detail` is not NULL, then "\n" when `newLineAfter` is non-zero. */
typedef void(QUORVANE_CALL* QuorvaneConsoleReport)(const char* text, const char* detail,
                                                   unsigned char newLineBefore,
                                                   unsigned char newLineAfter);

/* Registers a file the library installed: it is added to velmorin's file list and
 * goes into the rescue package that the user may save after a successful
 * installation, and the console shows "[reffileadded] Uri(<uri>):RelatedFile(<path>)".
 * Returns non-zero. */
typedef unsigned char(QUORVANE_CALL* QuorvaneRegisterRelatedFile)(
    const QuorvaneRelatedFile* file);

/* A message box owned by velmorin's main window, caption "Installer's ZenTrav",
 * with the MB_* style flags given (buttons, icon, modality). Returns the button
 * chosen (IDOK, IDYES, IDNO, ...). */
typedef int(QUORVANE_CALL* QuorvaneMessageBox)(const char* text, UINT style);

/* --- The record given to the entry point ----------------------------------------
 * Field order is fixed. On x86 every field is 32 bits wide and the record is 52
 * bytes; on x64 pointers and handles are 64 bits wide (with the padding the
 * compiler puts after the 32-bit fields) and `size` holds the record's real size. */
typedef struct QuorvaneInstallArgs {
  /* sizeof(QuorvaneInstallArgs): 52 on x86, 104 on x64. */
  uint32_t size;
  /* The product's name from the install descriptor (for example "Moor-Z2"). */
  const char* productName;
  /* The directory holding the package: the manifest's files and directories below
   * it, this library at its top. Usually without a trailing backslash; one chosen
   * by the user (installation from a directory) may end with one. */
  const char* downloadRoot;
  QuorvaneReadSettingsLine readSettingsLine;
  QuorvaneLoadSettings loadSettings;
  QuorvaneFindSetting findSetting;
  QuorvaneFindSettingNumber findSettingNumber;
  /* Not filled in: do not use. */
  uint32_t reserved;
  /* velmorin's main installer window, for a library that opens windows of its own
   * and wants them owned (filled in just before the call). */
  HWND mainWindow;
  QuorvaneSetConsoleColor setConsoleColor;
  QuorvaneConsoleReport consoleReport;
  QuorvaneRegisterRelatedFile registerRelatedFile;
  QuorvaneMessageBox messageBox;
} QuorvaneInstallArgs;

/* The entry point, exported as "quorvane_install2": returns non-zero when the
 * product was installed, 0 when it was not. It is called once. */
typedef unsigned char(QUORVANE_CALL* QuorvaneInstallEntry)(QuorvaneInstallArgs* args);

#ifdef __cplusplus
}
#endif

/* 32-bit Windows: the records' layout is fixed at these sizes. */
#if defined(_WIN32) && !defined(_WIN64)
#ifdef __cplusplus
static_assert(sizeof(QuorvaneInstallArgs) == 52, "installer arguments are 52 bytes on x86");
static_assert(sizeof(QuorvaneRelatedFile) == 12, "related-file records are 12 bytes on x86");
#else
_Static_assert(sizeof(QuorvaneInstallArgs) == 52, "installer arguments are 52 bytes on x86");
_Static_assert(sizeof(QuorvaneRelatedFile) == 12, "related-file records are 12 bytes on x86");
#endif
#endif

#endif
