// The files of a package directory, and the file operations the sample installer needs.
#pragma once
#include <string>
#include <vector>

// Relative names ("data\\maps\\a.map") of every file below `root`, in a stable order,
// leaving out the top-level names in `skipped` (compared without letter case).
std::vector<std::string> listPackageFiles(const std::string& root,
                                          const std::vector<std::string>& skipped);

// `directory` joined with `name` by exactly one backslash.
std::string joinPath(const std::string& directory, const std::string& name);

// Creates every missing directory level of `path`'s directory part.
void createParentDirectories(const std::string& path);

// The system's text for an error code, on one line; a text that names a file names
// `fileName`.
std::string errorText(unsigned long code, const std::string& fileName);
