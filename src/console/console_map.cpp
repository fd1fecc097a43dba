#include <vector>

#include "console/console_state.h"

namespace {

struct MapEntry {
  HWND window;
  PVOID encodedState;     // EncodePointer of the state, or of nullptr when free
  ConsoleState* storage;  // the state object, kept for reuse once free
};

// Workers that print look their console up here, and Exit and close terminate
// workers: the lock is one that a terminated holder hands over instead of keeping.
ConsoleLock g_lock;
INIT_ONCE g_lockOnce = INIT_ONCE_STATIC_INIT;
std::vector<MapEntry>* g_entries = nullptr;

BOOL CALLBACK initLock(PINIT_ONCE, PVOID, PVOID*) {
  g_entries = new std::vector<MapEntry>();
  return TRUE;
}

class MapLock {
 public:
  MapLock() {
    initConsoleLock();
    g_lock.lock();
  }
  ~MapLock() { g_lock.unlock(); }
  MapLock(const MapLock&) = delete;
  MapLock& operator=(const MapLock&) = delete;
};

}  // namespace

// Once per process, whichever comes first: registration or a lookup.
void initConsoleLock() { InitOnceExecuteOnce(&g_lockOnce, initLock, nullptr, nullptr); }

ConsoleState* findConsole(HWND window) {
  MapLock lock;
  for (const MapEntry& entry : *g_entries)
    if (entry.window == window) return static_cast<ConsoleState*>(DecodePointer(entry.encodedState));
  return nullptr;
}

ConsoleState* enterConsole(HWND window) {
  MapLock lock;
  MapEntry* slot = nullptr;
  for (MapEntry& entry : *g_entries)
    if (entry.window == window) slot = &entry;
  for (MapEntry& entry : *g_entries)
    if (!slot && DecodePointer(entry.encodedState) == nullptr) slot = &entry;
  if (!slot) {
    g_entries->push_back({window, EncodePointer(nullptr), new ConsoleState()});
    slot = &g_entries->back();
  }
  ConsoleState* state = slot->storage;
  {
    ConsoleLockGuard guard(state->lock);  // a late direct printer may still hold it
    state->reset();
    state->window = window;
  }
  slot->window = window;
  slot->encodedState = EncodePointer(state);
  return state;
}

void forgetConsole(HWND window) {
  MapLock lock;
  for (MapEntry& entry : *g_entries)
    if (entry.window == window) entry.encodedState = EncodePointer(nullptr);
}
