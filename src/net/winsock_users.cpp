#include "net/winsock_users.h"

#include <winsock2.h>

#include <cstdint>
#include <mutex>

namespace {
std::mutex g_lock;
uint16_t g_socketCount = 0;
unsigned g_lookups = 0;
bool g_started = false;

bool startIfNeeded() {
  if (g_started) return true;
  WSADATA data;
  if (WSAStartup(2, &data) != 0) return false;
  g_started = true;
  return true;
}

void stopIfUnused() {
  if (g_started && g_socketCount == 0 && g_lookups == 0) {
    WSACleanup();
    g_started = false;
  }
}
}  // namespace

bool addSocketUser() {
  std::lock_guard<std::mutex> guard(g_lock);
  if (!startIfNeeded()) return false;
  ++g_socketCount;
  return true;
}

void removeSocketUser() {
  std::lock_guard<std::mutex> guard(g_lock);
  if (g_socketCount > 0) --g_socketCount;
  stopIfUnused();
}

void addLookupUser() {
  std::lock_guard<std::mutex> guard(g_lock);
  ++g_lookups;
}

void removeLookupUser() {
  std::lock_guard<std::mutex> guard(g_lock);
  if (g_lookups > 0) --g_lookups;
  stopIfUnused();
}

unsigned socketUserCount() {
  std::lock_guard<std::mutex> guard(g_lock);
  return g_socketCount;
}

bool winsockRunning() {
  std::lock_guard<std::mutex> guard(g_lock);
  return g_started;
}
