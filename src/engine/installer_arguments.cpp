#include "engine/installer_arguments.h"

#include "engine/engine_console.h"
#include "engine/engine_utilities.h"
#include "engine/settings_services.h"

namespace {
LRESULT QUORVANE_CALL setConsoleColorService(int colour) {
  return static_cast<LRESULT>(consoleSetColor(colour));
}

void QUORVANE_CALL consoleReportService(const char* text, const char* detail,
                                        unsigned char newLineBefore, unsigned char newLineAfter) {
  consoleReport(text ? text : "", detail, newLineBefore != 0, newLineAfter != 0);
}
}  // namespace

void fillInstallerArguments(QuorvaneInstallArgs& args, const char* productName,
                            const char* downloadRoot) {
  args = QuorvaneInstallArgs{};
  args.size = sizeof(QuorvaneInstallArgs);
  args.productName = productName;
  args.downloadRoot = downloadRoot;
  args.readSettingsLine = &readSettingsLineService;
  args.loadSettings = &loadSettingsService;
  args.findSetting = &findSettingService;
  args.findSettingNumber = &findSettingNumberService;
  args.setConsoleColor = &setConsoleColorService;
  args.consoleReport = &consoleReportService;
  args.registerRelatedFile = &registerRelatedFile;
  args.messageBox = &libraryMessageBox;
}

QuorvaneInstallEntry findInstallerEntry(HMODULE library) {
  // GetProcAddress gives a generic function pointer; the export's real type is the
  // entry point's.
  FARPROC found = GetProcAddress(library, QUORVANE_ENTRY_NAME);
  return reinterpret_cast<QuorvaneInstallEntry>(reinterpret_cast<void*>(found));
}
