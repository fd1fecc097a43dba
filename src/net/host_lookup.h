// Host lookup on a thread of its own, bounded by a wait limit.
#pragma once
#include <string>

#include "net/socket.h"

// Waits at most `timeoutMs` for the lookup of `host`. True with the dotted address in
// `address` when it resolved in time. A lookup still running at the limit is left to
// finish on its own: it owns its request then and frees it itself.
bool lookupHost(const std::string& host, unsigned long timeoutMs, HostLookup lookup,
                std::string* address);

// The lookup through gethostbyname and inet_ntoa.
bool systemHostLookup(const char* host, char* result);
