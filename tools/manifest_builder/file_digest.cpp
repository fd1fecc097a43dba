#include "file_digest.h"

#include <cstdio>
#include <memory>

#include "download/md5_digest.h"

namespace {

constexpr size_t kPieceSize = 1 << 20;

// Reads the file once from start to end; the reason when that fails, else empty.
std::string digestFile(const FolderEntry& file, unsigned char* piece, ProgressMeter& progress,
                       std::string* digest) {
  std::FILE* stream = std::fopen(file.path.c_str(), "rb");
  if (!stream) return "cannot be opened for reading";
  DigestStream digester;
  uint64_t total = 0;
  size_t got;
  while ((got = std::fread(piece, 1, kPieceSize, stream)) > 0) {
    digester.add(piece, got);
    total += got;
    progress.addBytes(got);
  }
  const bool failed = std::ferror(stream) != 0;
  std::fclose(stream);
  if (failed) return "a read failed";
  if (total != file.facts.size) return "its length changed while it was read";
  char text[33];
  digester.finish(text);
  *digest = text;
  return {};
}

}  // namespace

std::vector<std::string> digestFiles(const FolderScan& scan, ProgressMeter& progress,
                                     std::vector<std::string>* problems) {
  std::unique_ptr<unsigned char[]> piece(new unsigned char[kPieceSize]);
  std::vector<std::string> digests(scan.files.size());
  for (size_t i = 0; i < scan.files.size(); ++i) {
    const std::string reason = digestFile(scan.files[i], piece.get(), progress, &digests[i]);
    if (!reason.empty()) problems->push_back(scan.files[i].name + ": " + reason);
    progress.fileDone();
  }
  progress.finish();
  return digests;
}
