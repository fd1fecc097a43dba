#include "services/log_path.h"

std::string logPathIn(const std::string& temporaryDirectory) { return temporaryDirectory + "\\velmorin.log"; }

bool logPathFits(const std::string& path) { return path.size() < kLogPathCapacity; }
