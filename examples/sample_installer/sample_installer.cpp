// A complete installer library for velmorin, written against quorvane_install.h and the
// Windows API (with the installer's own handle owners and error texts, src/win32).
//
// It installs the package that velmorin downloaded (the directory args->downloadRoot)
// into a destination folder, asking the user first, and reports on velmorin's console.
// An optional settings file "install.ini" at the top of the package changes what it
// does:
//
//   DESTINATION=D:\Games\Zentrav   where to install; by default the folder named after
//                                  the product in the user's local application data
//   FILES=2                        install only the files listed as FILE1 .. FILE<n>,
//   FILE1=data\maps\first.map      relative names in the package; by default every
//   FILE2=readme.rtf               file of the package is installed
//   ASK=NO                         install without asking first
//
// Files at the top of the package that belong to the delivery, not to the product,
// are never installed: this library, install.ini, setup.exe and readme.txt (which
// a rescue package holds beside the package files), and the manifest and signature
// that a signed package keeps (downloadgi.txt, downloadgi.sig).
//
// Every installed file is registered with registerRelatedFile under its name in the
// package, and so are this library and its settings file: a rescue package saved
// after an installation then holds all that its setup.exe needs to restore the
// product, even after an installation from a directory, where velmorin has no
// manifest of its own.
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "package_files.h"
#include "quorvane_install.h"

namespace {

const char kSettingsFile[] = "install.ini";
const int kGrey = 7;
const int kGreen = 10;
const int kRed = 12;

class Installer {
 public:
  explicit Installer(QuorvaneInstallArgs* args) : args_(args) {}

  bool run() {
    say(kGreen, "Sample installer of", args_->productName);
    settings_ = args_->loadSettings(joinPath(args_->downloadRoot, kSettingsFile).c_str());
    const std::string destination = destinationFolder();
    if (destination.empty()) return fail("No destination folder", nullptr);
    const std::vector<std::string> files = filesToInstall();

    if (!confirmed(destination, files.size())) return fail("Installation declined by the user", nullptr);
    for (const std::string& name : files) {
      if (!install(name, destination)) return fail("Installation stopped at", name.c_str());
    }
    registerDeliveryFiles();
    say(kGreen, "Files installed into", destination.c_str());
    return true;
  }

 private:
  void say(int colour, const char* text, const char* detail) {
    args_->setConsoleColor(colour);
    args_->consoleReport(text, detail, 0, 1);
    args_->setConsoleColor(kGrey);
  }

  bool fail(const char* text, const char* detail) {
    say(kRed, text, detail);
    return false;
  }

  std::string destinationFolder() {
    const std::string chosen = args_->findSetting(settings_, "DESTINATION", 0);
    if (!chosen.empty()) return chosen;
    char local[MAX_PATH];
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, local)))
      return std::string();
    return joinPath(local, args_->productName);
  }

  std::vector<std::string> filesToInstall() {
    const int listed = args_->findSettingNumber(settings_, "FILES");
    if (listed <= 0) {
      return listPackageFiles(args_->downloadRoot, {ownFileName(), kSettingsFile, "setup.exe", "readme.txt",
                                                    "downloadgi.txt", "downloadgi.sig"});
    }
    std::vector<std::string> files;
    for (int i = 1; i <= listed; ++i) {
      const std::string key = "FILE" + std::to_string(i);
      const std::string name = args_->findSetting(settings_, key.c_str(), 0);
      if (!name.empty()) files.push_back(name);
    }
    return files;
  }

  bool confirmed(const std::string& destination, size_t count) {
    if (std::string(args_->findSetting(settings_, "ASK", 1)) == "NO") return true;
    const std::string question = "Install " + std::string(args_->productName) + " (" +
                                 std::to_string(count) + " files) into\n" + destination + " ?";
    return args_->messageBox(question.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
  }

  // Copies one file, asking Retry or Cancel when it fails.
  bool install(const std::string& name, const std::string& destination) {
    const std::string source = joinPath(args_->downloadRoot, name);
    const std::string target = joinPath(destination, name);
    for (;;) {
      createParentDirectories(target);
      if (CopyFileA(source.c_str(), target.c_str(), FALSE)) break;
      const std::string problem = errorText(GetLastError(), source);
      say(kRed, "Can't install", (target + ": " + problem).c_str());
      const std::string question = "Can't install " + target + "\n" + problem;
      if (args_->messageBox(question.c_str(), MB_RETRYCANCEL | MB_ICONERROR) != IDRETRY) return false;
    }
    args_->consoleReport("Installed", target.c_str(), 0, 1);
    registerFile(target, name);
    return true;
  }

  void registerFile(const std::string& localPath, const std::string& uri) {
    QuorvaneRelatedFile file = {sizeof file, localPath.c_str(), uri.c_str()};
    args_->registerRelatedFile(&file);
  }

  // This library and its settings file, for a restore from a rescue package.
  void registerDeliveryFiles() {
    registerFile(joinPath(args_->downloadRoot, ownFileName()), ownFileName());
    const std::string settings = joinPath(args_->downloadRoot, kSettingsFile);
    if (GetFileAttributesA(settings.c_str()) != INVALID_FILE_ATTRIBUTES) registerFile(settings, kSettingsFile);
  }

  static std::string ownFileName() {
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<const char*>(&ownFileName), &self);
    char path[MAX_PATH] = "";
    GetModuleFileNameA(self, path, sizeof path);
    const std::string full = path;
    return full.substr(full.find_last_of('\\') + 1);
  }

  QuorvaneInstallArgs* args_;
  QuorvaneSettingsList* settings_ = nullptr;
};

}  // namespace

QUORVANE_EXPORT unsigned char QUORVANE_CALL quorvane_install2(QuorvaneInstallArgs* args) {
  if (!args || args->size < sizeof(QuorvaneInstallArgs)) return 0;
  return Installer(args).run() ? 1 : 0;
}
