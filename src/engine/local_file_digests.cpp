#include "engine/local_file_digests.h"

#include <windows.h>

#include "download/file_digest_reader.h"
#include "win32/handles.h"

LocalFileDigests::LocalFileDigests(RecordNode* files, bool withSha256, DWORD shareMode)
    : shareMode_(shareMode), digests_(withSha256), reader_(&LocalFileDigests::readAll, this, files) {}

LocalFileDigests::~LocalFileDigests() {
  stopping_ = true;
  reader_.join();
}

namespace {
// The two threads wait on each other by yielding their turn, which costs no call to
// the system's scheduler objects per piece; a wait that lasts (a cold disk) sleeps.
void waitTurn(unsigned* tries) {
  if (++*tries < 256) SwitchToThread();
  else Sleep(1);
}
}  // namespace

LocalFileDigests::Piece* LocalFileDigests::freePiece() {
  for (unsigned tries = 0; published_ - taken_ == kPieces; waitTurn(&tries)) {
    if (stopping_) return nullptr;
  }
  return &pieces_[published_ % kPieces];
}

void LocalFileDigests::publish() { ++published_; }

void LocalFileDigests::readAll(RecordNode* files) {
  for (RecordNode* node = files; node && !stopping_; node = node->next)
    readFile(*static_cast<const FileRecord*>(node->item));
}

// Read only when it has the listed size: one of another size cannot be the manifest's.
void LocalFileDigests::readFile(const FileRecord& record) {
  KernelHandle file(CreateFileA(record.localPath, GENERIC_READ, shareMode_, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  const bool sized = file && GetFileSizeEx(file.get(), &size) && size.QuadPart == record.size;
  uint64_t left = sized ? static_cast<uint64_t>(record.size) : 0;
  bool failed = false;
  for (;;) {
    Piece* piece = freePiece();
    if (!piece) return;
    if (piece->bytes.size() < kDigestReadPiece) piece->bytes.resize(kDigestReadPiece);
    DWORD got = 0;
    const DWORD wanted = static_cast<DWORD>(left < kDigestReadPiece ? left : kDigestReadPiece);
    if (wanted > 0 && (!ReadFile(file.get(), piece->bytes.data(), wanted, &got, nullptr) || got == 0)) failed = true;
    left -= got;
    piece->size = got;
    piece->last = left == 0 || failed;
    piece->opened = static_cast<bool>(file);
    piece->read = sized && left == 0 && !failed;
    publish();
    if (piece->last) return;
  }
}

LocalFileDigests::File LocalFileDigests::next() {
  File file;
  for (bool last = false; !last;) {
    for (unsigned tries = 0; taken_ == published_;) waitTurn(&tries);
    const Piece& piece = pieces_[taken_ % kPieces];
    if (piece.size > 0) digests_.update(piece.bytes.data(), piece.size);
    last = piece.last;
    file.opened = piece.opened;
    file.read = piece.read;
    ++taken_;
  }
  file.digests = digests_.finish();
  return file;
}
