// The text of a request: header lines kept in first-added order, replaced in place.
#pragma once
#include <string>
#include <vector>

// Each line is complete: name, ": ", value, "\r\n".
using HeaderLines = std::vector<std::string>;

// Replaces the first line that begins with `name` (a case-sensitive byte prefix), or
// appends the line when none does. Names and values are not checked here.
void putHeader(HeaderLines& lines, const std::string& name, const std::string& value);

// Request line, every header line in order, then the empty line.
std::string requestText(const std::string& method, const std::string& target,
                        const HeaderLines& lines);
