#include <iostream>

#include "folder_access.h"
#include "manifest_tool.h"

int main(int argc, char** argv) {
  return runManifestTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr,
                         stderrIsTerminal());
}
