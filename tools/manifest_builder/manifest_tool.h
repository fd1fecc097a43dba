// velmorin-manifest as a function: the program's main() hands over to it, and tests
// run it the same way.
#pragma once
#include <ostream>
#include <string>
#include <vector>

enum ToolExit {
  kToolDone = 0,      // manifest written, or the folder matches it
  kToolRefused = 1,   // names refused, or differences found
  kToolUnusable = 2,  // command line, folder or manifest file unusable
};

// `args` without the program's name. Reports go to `out`; errors, warnings and
// progress to `err`, with progress shown by itself only when `errIsTerminal`.
int runManifestTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    bool errIsTerminal);
