// Reading an HTTP response as the client sees it: where the header block ends, which
// new location the header block names, and how that location becomes an address.
// Plain text code, shared by the client and its fuzz target.
#pragma once
#include <cstddef>
#include <string>

// Length of the header block: everything up to and including the first "\r\n\r\n".
// A response without that empty line is all header block and has no body.
size_t headerBlockLength(const char* response, size_t size);

// Searches the header block for the location markers, in their fixed order, and
// stores the first marker's value (up to the next "\r\n"). False when none occurs.
bool findLocation(const std::string& headerBlock, std::string* value);

// Turns a location value into the next address: a value beginning with "http://" or
// "https://" (in any case) stands as it is; one naming another protocol ("ftp:...")
// raises std::logic_error; "/path" goes to the same protocol, host and port; anything
// else (with a leading "./" dropped) is taken relative to the directory of the
// current address.
std::string resolveLocation(const std::string& currentUrl, const std::string& hostPort,
                            const std::string& value);

// Whether following `value` from `currentUrl` would go from https:// down to http://.
bool leavesTls(const std::string& currentUrl, const std::string& value);
