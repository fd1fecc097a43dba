#include "file_digest.h"

#include <cstdio>
#include <memory>

#include "download/file_digests.h"

namespace {

constexpr size_t kPieceSize = 1 << 20;

// Reads the file once from start to end; the reason when that fails, else empty.
std::string digestFile(const FolderEntry& file, unsigned char* piece, ProgressMeter& progress,
                       FileDigests& digests, FileDigestResult* result) {
  std::FILE* stream = std::fopen(file.path.c_str(), "rb");
  if (!stream) return "cannot be opened for reading";
  uint64_t total = 0;
  size_t got;
  while ((got = std::fread(piece, 1, kPieceSize, stream)) > 0) {
    digests.update(piece, got);
    total += got;
    progress.addBytes(got);
  }
  const bool failed = std::ferror(stream) != 0;
  std::fclose(stream);
  *result = digests.finish();
  if (failed) return "a read failed";
  if (total != file.facts.size) return "its length changed while it was read";
  return {};
}

}  // namespace

std::vector<std::string> digestFiles(const FolderScan& scan, ProgressMeter& progress,
                                     std::vector<std::string>* problems, std::vector<Sha256Digest>* sha256) {
  std::unique_ptr<unsigned char[]> piece(new unsigned char[kPieceSize]);
  FileDigests digests(sha256 != nullptr);
  std::vector<std::string> md5(scan.files.size());
  if (sha256) sha256->assign(scan.files.size(), Sha256Digest{});
  for (size_t i = 0; i < scan.files.size(); ++i) {
    FileDigestResult result;
    const std::string reason = digestFile(scan.files[i], piece.get(), progress, digests, &result);
    if (!reason.empty()) {
      problems->push_back(scan.files[i].name + ": " + reason);
    } else {
      md5[i] = result.md5;
      if (sha256) (*sha256)[i] = result.sha256;
    }
    progress.fileDone();
  }
  progress.finish();
  return md5;
}
