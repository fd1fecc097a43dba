// The things velmorin-manifest does, each read top to bottom as its steps.
#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "name_rules.h"
#include "progress_meter.h"
#include "tool_options.h"

struct ToolRun {
  const ToolOptions& options;
  std::ostream& out;
  std::ostream& err;
  ProgressMeter::Mode progressMode;
  std::string product;        // the product's name
  DownloadRoots roots;        // for the product's name
  std::string manifestPath;   // the manifest written or checked
  std::string signaturePath;  // downloadgi.sig beside it
};

int writeManifest(const ToolRun& run);
int checkManifest(const ToolRun& run);
int writeKeyPair(const ToolOptions& options, std::ostream& out, std::ostream& err);

// The whole of a file that is expected to be small (a manifest, a key, a signature).
bool readWholeFile(const std::string& path, std::string* text);

// The facts of the files of a scan taken together, for the progress meter.
uint64_t totalBytes(const FolderScan& scan);
void printEach(std::ostream& stream, const std::string& prefix, const std::vector<std::string>& lines);
