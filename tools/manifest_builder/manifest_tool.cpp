#include "manifest_tool.h"

#include "folder_access.h"
#include "tool_flows.h"

namespace {

// The folder's own name: the last component of its absolute path.
std::string folderName(const std::string& folder) {
  std::string path = absolutePath(folder);
  while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// `name` in the directory that holds `file`.
std::string besideFile(const std::string& file, const std::string& name) {
  const size_t slash = file.find_last_of(kPathSeparator == '/' ? "/" : "/\\");
  return slash == std::string::npos ? name : file.substr(0, slash + 1) + name;
}

}  // namespace

int runManifestTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    bool errIsTerminal) {
  ToolOptions options;
  std::string error;
  if (!parseToolOptions(args, &options, &error)) {
    err << "velmorin-manifest: " << error << " (see --help)\n";
    return kToolUnusable;
  }
  if (options.help) {
    out << kToolHelp;
    return kToolDone;
  }
  if (options.keygen) return writeKeyPair(options, out, err);

  PathFacts folder;
  if (!readPathFacts(options.folder, &folder, &error) || folder.kind != PathKind::directory) {
    err << "velmorin-manifest: " << options.folder << ": " << (error.empty() ? "not a folder" : error) << "\n";
    return kToolUnusable;
  }

  std::string manifestPath = options.check ? options.manifest : options.output;
  if (manifestPath.empty()) manifestPath = options.folder + kPathSeparator + kManifestFileName;
  ProgressMeter::Mode progressMode = options.progress  ? ProgressMeter::Mode::lines
                                     : errIsTerminal ? ProgressMeter::Mode::terminal
                                                     : ProgressMeter::Mode::off;
  const std::string product = options.product.empty() ? folderName(options.folder) : options.product;
  const ToolRun run{options, out, err, progressMode, product, downloadRootsFor(product), manifestPath,
                    besideFile(manifestPath, kSignatureFileName)};
  return options.check ? checkManifest(run) : writeManifest(run);
}
