// Engine texts that are put together from parts. Platform-free, so that their exact
// bytes are checked natively; the flows show and print them.
#pragma once
#include <string>
#include <vector>

// "Error Windows n\xB0<code>\n" (the degree sign of code page 1252) followed by the
// system's text for the code up to its first CR.
std::string formatWindowsErrorText(long code, const char* systemText);

// The detail of a related file's report: "Uri(<uri>):RelatedFile(<path>)", with
// "(null)" for an absent URI.
std::string relatedFileDetail(const char* uri, const char* localPath);

// The report of the files kept with a digest mismatch: a heading, one local path a
// line, and the support address to write to.
std::string digestReportText(const std::vector<std::string>& localPaths,
                             const char* supportAddress);

// The box of a package refused by the publisher's signature check: what was wrong,
// that nothing was installed, and where the log is (none when there is no log).
std::string packageRefusalText(const std::string& reason, const char* logPath);
