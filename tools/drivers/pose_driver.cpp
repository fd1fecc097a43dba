// Brings an installer to one of its windows and holds it there (for the screenshots):
//   pose_driver.exe notice|licence|mode|main|console|files <ready file> [seconds]
// writes the window's screen rectangle ("WxH+X+Y") into the ready file once it is
// painted, waits, then ends the program. The main window's poses use the loopback
// installer with a product served here, slowly, so that the download is under way.
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "download/md5_digest.h"
#include "net/loopback_server.h"
#include "support/ui_driver.h"

namespace {
const char kServerPath[] = "/install/game/moorz2/";

// A product of a few dozen files, the larger ones sent in slow pieces.
std::map<std::string, std::string> productFiles() {
  std::map<std::string, std::string> files;
  for (int map = 1; map <= 12; ++map)
    files["data\\maps\\region" + std::to_string(map) + ".map"] = std::string(20000 + map * 1500, 'm');
  for (int texture = 1; texture <= 8; ++texture)
    files["data\\textures\\tiles" + std::to_string(texture) + ".dds"] = std::string(300000, 't');
  files["music\\theme.ogg"] = std::string(2 << 20, 'o');
  files["readme.txt"] = "Moor-Z2\n";
  files["setupzentrav.dll"] = std::string(90000, 'd');
  return files;
}

std::string manifestOf(const std::map<std::string, std::string>& files) {
  std::string text = "OK\r\ndata\\\r\ndata\\maps\\\r\ndata\\textures\\\r\nmusic\\\r\n";
  for (const auto& [name, bytes] : files) {
    char digest[33];
    digestText(bytes.data(), static_cast<uint32_t>(bytes.size()), digest);
    text += name + "\r\n" + digest + "|" + std::to_string(bytes.size()) +
            "\r\n3141592653\r\n30000000\r\n";
  }
  return text;
}

LoopbackServer::Script serveSlowly(const std::map<std::string, std::string>& files) {
  return [files](const std::string& request, int) {
    size_t start = request.find(kServerPath);
    size_t end = request.find(' ', start == std::string::npos ? 0 : start);
    std::string name;
    if (start != std::string::npos && end != std::string::npos)
      name = request.substr(start + sizeof kServerPath - 1, end - start - sizeof kServerPath + 1);
    for (char& c : name) {
      if (c == '/') c = '\\';
    }
    Reply reply;
    if (name == "downloadgi.txt") {
      reply.bytes = LoopbackServer::response(manifestOf(files));
    } else if (files.count(name)) {
      reply.bytes = LoopbackServer::response(files.at(name));
      reply.pieceSize = 16 << 10;
      reply.pauseMs = 40;
    } else {
      reply.bytes = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
    }
    return reply;
  };
}

void writeReady(const char* path, HWND shown) {
  RECT rect;
  GetWindowRect(shown, &rect);
  if (FILE* ready = std::fopen(path, "w")) {
    std::fprintf(ready, "%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top,
                 rect.left, rect.top);
    std::fclose(ready);
  }
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: pose_driver notice|licence|mode|main|console|files <ready file> [seconds]\n");
    return 2;
  }
  std::string page = argv[1];
  int seconds = argc > 3 ? std::atoi(argv[3]) : 20;
  bool mainWindow = page == "main" || page == "console" || page == "files";
  if (mainWindow) {  // a download root of its own, empty at first
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    std::string fresh = std::string(temp) + "pose-" + std::to_string(GetTickCount());
    CreateDirectoryA(fresh.c_str(), nullptr);
    SetEnvironmentVariableA("TMP", fresh.c_str());
  }
  LoopbackServer server(serveSlowly(productFiles()), mainWindow ? VELMORIN_TEST_PORT : 0);
  SetupProcess setup(mainWindow ? windowsPath(VELMORIN_LOCAL_EXE) : velmorinProgram());
  HWND question = setup.waitMessageBox(
      "Installation setup require a internet connexion for downloading this product\n"
      "Do you have internet connexion ?");
  if (!question) return 3;
  answerBox(question, IDYES);
  HWND licence = setup.waitDialog("Installation of program ");
  if (!licence) return 4;
  HWND shown = licence;
  if (page != "notice") {
    clickButton(licence, IDOK);
    eventually([&] { return IsWindowVisible(GetDlgItem(licence, 1010)) != FALSE; });
  }
  if (page != "notice" && page != "licence") {
    clickButton(licence, 1010);
    eventually([&] { return isChecked(licence, 1010); });
    clickButton(licence, IDOK);
    shown = setup.waitDialog("Installation Mode");
    if (!shown) return 5;
    int mode = mainWindow ? 1002 : 1004;
    clickButton(shown, mode);
    eventually([&] { return isChecked(shown, mode); });
  }
  if (mainWindow) {
    clickButton(shown, IDOK);
    shown = setup.waitDialog("Install ");
    if (!shown) return 6;
    if (page != "main") {
      clickButton(shown, 1000);  // start at once
      clickButton(shown, 1010);
      if (page == "files") clickButton(shown, 1007);
      Sleep(4000);  // well into the download
    }
  }
  Sleep(1500);  // let it paint
  writeReady(argv[2], shown);
  Sleep(static_cast<DWORD>(seconds) * 1000);
  return 0;
}
