#include "net/system_proxy.h"

#include <windows.h>
#include <winhttp.h>

#include <atomic>
#include <map>
#include <mutex>

#include "win32/handles.h"
#include "win32/wide_text.h"

namespace {

const char kVariable[] = "VELMORIN_PROXY";

// A string that WinHTTP handed out, freed with GlobalFree.
struct WinHttpTextTraits {
  static wchar_t* none() { return nullptr; }
  static bool valid(wchar_t* text) { return text != nullptr; }
  static bool close(wchar_t* text) { return GlobalFree(text) == nullptr; }
};
using WinHttpText = UniqueHandle<wchar_t*, WinHttpTextTraits>;

// WinHTTP sessions (WinHttpOpen).
struct WinHttpHandleTraits {
  static HINTERNET none() { return nullptr; }
  static bool valid(HINTERNET handle) { return handle != nullptr; }
  static bool close(HINTERNET handle) { return WinHttpCloseHandle(handle) != 0; }
};
using WinHttpHandle = UniqueHandle<HINTERNET, WinHttpHandleTraits>;

// The WinHTTP session that proxy scripts run in; one for the process.
HINTERNET scriptSession() {
  static const WinHttpHandle session(WinHttpOpen(L"velmorin", WINHTTP_ACCESS_TYPE_NO_PROXY,
                                                 WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  return session.get();
}

// A script that could not be found or fetched is not asked for again in this run:
// every attempt would wait for the same failure.
std::atomic<bool> g_noScriptDetected{false};
std::atomic<bool> g_namedScriptFailed{false};

// What the script said, by scheme, host and port: a run makes one connection per
// file, and each question to the script costs its evaluation (and, where the system
// keeps no copy, a fetch of the script).
std::mutex g_scriptAnswersLock;
std::map<std::string, ProxyChoice> g_scriptAnswers;

// What the proxy script says for the address. False when no script could be run.
bool askScript(const WINHTTP_CURRENT_USER_IE_PROXY_CONFIG& settings, const Url& target, ProxyChoice* choice) {
  WINHTTP_AUTOPROXY_OPTIONS options = {};
  std::atomic<bool>* failed = nullptr;
  if (settings.fAutoDetect && !g_noScriptDetected) {
    options.dwFlags = WINHTTP_AUTOPROXY_AUTO_DETECT;
    options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
    failed = &g_noScriptDetected;
  } else if (settings.lpszAutoConfigUrl && !g_namedScriptFailed) {
    options.dwFlags = WINHTTP_AUTOPROXY_CONFIG_URL;
    options.lpszAutoConfigUrl = settings.lpszAutoConfigUrl;
    failed = &g_namedScriptFailed;
  } else {
    return false;
  }
  options.fAutoLogonIfChallenged = TRUE;
  const std::string scheme = target.isSecure() ? "https" : "http";
  const std::string server = scheme + "://" + target.getHost() + ":" + target.getPortString();
  {
    std::lock_guard<std::mutex> guard(g_scriptAnswersLock);
    auto known = g_scriptAnswers.find(server);
    if (known != g_scriptAnswers.end()) {
      *choice = known->second;
      return true;
    }
  }
  const std::wstring address = wide(server + target.getPath());
  WINHTTP_PROXY_INFO info = {};
  HINTERNET session = scriptSession();
  if (!session || !WinHttpGetProxyForUrl(session, address.c_str(), &options, &info)) {
    failed->store(true);
    return askScript(settings, target, choice);  // the named script after a failed detection
  }
  WinHttpText proxy(info.lpszProxy);
  WinHttpText bypass(info.lpszProxyBypass);
  // The script decides alone, loopback included, unless it gives a bypass list too.
  const std::string bypassList = narrow(bypass.get());
  if (info.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY &&
      (bypassList.empty() || !bypassesProxy(bypassList, target.getHost(), target.getPort())) &&
      proxyForScheme(narrow(proxy.get()), scheme, &choice->proxy))
    choice->origin = failed == &g_noScriptDetected ? "detected proxy script" : "proxy script";
  std::lock_guard<std::mutex> guard(g_scriptAnswersLock);
  g_scriptAnswers[server] = *choice;
  return true;
}

}  // namespace

ProxyChoice chooseProxy(const Url& target) {
  ProxyChoice choice;
  char variable[2048];
  DWORD length = GetEnvironmentVariableA(kVariable, variable, sizeof variable);
  if (length > 0) {
    if (length >= sizeof variable || !parseProxyAddress(variable, &choice.proxy))
      choice.problem = std::string(kVariable) + " is not of the form http://[user:password@]host:port";
    else
      choice.origin = kVariable;
    return choice;
  }

  WINHTTP_CURRENT_USER_IE_PROXY_CONFIG settings = {};
  if (!WinHttpGetIEProxyConfigForCurrentUser(&settings)) return choice;
  WinHttpText script(settings.lpszAutoConfigUrl);
  WinHttpText proxy(settings.lpszProxy);
  WinHttpText bypass(settings.lpszProxyBypass);
  if (askScript(settings, target, &choice)) return choice;
  if (proxy.get() && !bypassesProxy(narrow(bypass.get()), target.getHost(), target.getPort()) &&
      proxyForScheme(narrow(proxy.get()), target.isSecure() ? "https" : "http", &choice.proxy))
    choice.origin = "system settings";
  return choice;
}
