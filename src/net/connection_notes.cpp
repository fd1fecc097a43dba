#include "net/connection_notes.h"

#include <atomic>

namespace {
std::atomic<ConnectionNoteSink> g_sink{nullptr};
}  // namespace

void setConnectionNoteSink(ConnectionNoteSink sink) { g_sink.store(sink); }

void noteConnection(ConnectionNote kind, const std::string& text) {
  if (ConnectionNoteSink sink = g_sink.load()) sink(kind, text.c_str());
}
