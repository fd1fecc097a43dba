#include "net/host_lookup.h"

#include <atomic>
#include <cstring>

#include "net/winsock_users.h"
#include "win32/handles.h"

namespace {

// Shared by the waiting thread and the lookup thread; whichever lets go last frees it,
// so an abandoned lookup never writes into freed memory and is never killed inside
// the resolver (which could leave a lock of the process held).
struct LookupRequest {
  std::atomic<int> owners{2};
  std::string host;  // a copy: the socket may be gone before the lookup ends
  HostLookup lookup = nullptr;
  bool done = false;
  char result[32] = {};
};

void letGo(LookupRequest* request) {
  if (request->owners.fetch_sub(1) == 1) delete request;
}

DWORD WINAPI lookupThread(LPVOID parameter) {
  LookupRequest* request = static_cast<LookupRequest*>(parameter);
  char result[32] = {};
  if (request->lookup(request->host.c_str(), result)) {
    result[sizeof(result) - 1] = '\0';
    std::memcpy(request->result, result, sizeof(result));
    request->done = true;
  }
  letGo(request);
  removeLookupUser();
  return 0;
}

// A dotted IPv4 address names itself: the system lookup would only parse it, after a
// thread start that costs more than a small download on loopback.
bool isDottedAddress(const std::string& host) {
  int parts = 0;
  size_t at = 0;
  while (at <= host.size()) {
    size_t end = host.find('.', at);
    if (end == std::string::npos) end = host.size();
    const std::string part = host.substr(at, end - at);
    if (part.empty() || part.size() > 3 || part.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(part) > 255 || (part.size() > 1 && part[0] == '0'))
      return false;
    ++parts;
    at = end + 1;
  }
  return parts == 4;
}

}  // namespace

bool systemHostLookup(const char* host, char* result) {
  hostent* entry = gethostbyname(host);
  if (!entry || entry->h_addrtype != AF_INET || !entry->h_addr_list || !entry->h_addr_list[0])
    return false;
  in_addr first;
  std::memcpy(&first, entry->h_addr_list[0], sizeof(first));
  const char* text = inet_ntoa(first);
  if (!text) return false;
  std::strncpy(result, text, 31);
  result[31] = '\0';
  return true;
}

bool lookupHost(const std::string& host, unsigned long timeoutMs, HostLookup lookup,
                std::string* address) {
  if (!lookup && isDottedAddress(host)) {
    *address = host;
    return true;
  }
  LookupRequest* request = new LookupRequest;
  request->host = host;
  request->lookup = lookup ? lookup : systemHostLookup;
  addLookupUser();
  KernelHandle thread(CreateThread(nullptr, 0, lookupThread, request, 0, nullptr));
  if (!thread) {
    removeLookupUser();
    delete request;
    return false;
  }
  bool finished = WaitForSingleObject(thread.get(), timeoutMs) == WAIT_OBJECT_0;
  thread.close();
  bool found = false;
  if (finished && request->done) {
    *address = request->result;
    found = true;
  }
  letGo(request);
  return found;
}
