#include "net/host_lookup.h"

#include <atomic>
#include <cstring>

#include "net/winsock_users.h"

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
  LookupRequest* request = new LookupRequest;
  request->host = host;
  request->lookup = lookup ? lookup : systemHostLookup;
  addLookupUser();
  HANDLE thread = CreateThread(nullptr, 0, lookupThread, request, 0, nullptr);
  if (!thread) {
    removeLookupUser();
    delete request;
    return false;
  }
  bool finished = WaitForSingleObject(thread, timeoutMs) == WAIT_OBJECT_0;
  CloseHandle(thread);
  bool found = false;
  if (finished && request->done) {
    *address = request->result;
    found = true;
  }
  letGo(request);
  return found;
}
