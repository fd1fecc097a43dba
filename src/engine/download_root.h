// The download root: the user's temporary directory (as the system gives it, ending
// in a backslash), "\Quorvane", "\Downloaded\" and the product name. The doubled
// separator after the temporary directory stays; the file system reads it as one.
#pragma once
#include <cstddef>

// The three levels, each a prefix of the next, cut to fit `size` bytes.
struct DownloadRootLevels {
  char company[256];     // <temp>\Quorvane
  char downloaded[256];  // <temp>\Quorvane\Downloaded\   (trailing backslash kept)
  char product[256];     // <temp>\Quorvane\Downloaded\<product>
};
void formatDownloadRoot(const char* temporaryDirectory, const char* productName,
                        DownloadRootLevels& levels);
