// The request target sent for an address's path. The client is given addresses in two
// forms: its callers join a base address and a file name as written (in the ANSI code
// page, any byte but "\"), while a server names a location as a URI, escaped already.
#pragma once
#include <string>

// For a path of names as written: every byte but the unreserved characters (letters,
// digits, "-", ".", "_", "~") and "/" is percent-encoded, "%", "?" and "#" included,
// so that each name reaches the server as itself ("%2e%2e" goes out as "%252e%252e",
// never as a parent).
std::string targetForNames(const std::string& path);

// For a path a server named: "%" escapes, the query and the reserved characters keep
// their meaning; only bytes that cannot stand in a request target (space, control
// characters, bytes above 127, and the characters URIs leave out) are encoded. A
// fragment is the client's own and is not sent.
std::string targetForUri(const std::string& path);
