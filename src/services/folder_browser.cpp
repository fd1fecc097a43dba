#include "services/folder_browser.h"

#include <ole2.h>
#include <shlobj.h>

#include <atomic>

namespace {
std::atomic<FolderAnswerer> g_answerer{nullptr};

bool showShellBrowser(HWND owner, const char* title, UINT flags, char* path) {
  // The new dialog style needs OLE on the calling thread, which is often a worker.
  HRESULT ole = OleInitialize(nullptr);
  BROWSEINFOA info = {};
  info.hwndOwner = owner;
  info.pidlRoot = nullptr;  // the whole namespace
  info.pszDisplayName = path;
  info.lpszTitle = title;
  info.ulFlags = flags;
  path[0] = '\0';
  LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
  bool ok = chosen && SHGetPathFromIDListA(chosen, path);
  if (chosen) CoTaskMemFree(chosen);
  if (SUCCEEDED(ole)) OleUninitialize();
  if (!ok) path[0] = '\0';
  return ok;
}
}  // namespace

bool browseForFolder(HWND owner, const char* title, UINT flags, char* path) {
  FolderAnswerer answerer = g_answerer.load();
  if (answerer) return answerer(owner, title, flags, path);
  return showShellBrowser(owner, title, flags, path);
}

void setFolderAnswerer(FolderAnswerer answerer) { g_answerer.store(answerer); }
