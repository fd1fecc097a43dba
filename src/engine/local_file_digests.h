// The digests of the files already in the download root, for the update analysis:
// a thread of its own opens and reads the files of the list in order, a few pieces
// ahead, into a small ring of reused blocks, while the analysis digests each piece as
// it comes. Reading and hashing then run side by side, and memory stays that of the
// ring whatever the files' sizes.
#pragma once
#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include "download/file_digests.h"
#include "download/file_record.h"

class LocalFileDigests {
 public:
  struct File {
    bool opened = false;       // it is there and could be opened for reading
    bool read = false;         // it has the listed size and was read whole...
    FileDigestResult digests;  // ...giving these
  };

  // Starts reading the list's files; with `withSha256`, each file's SHA-256 is taken too.
  // The files are opened with `shareMode` (none by default, as the analysis opens them).
  LocalFileDigests(RecordNode* files, bool withSha256, DWORD shareMode = 0);
  // Stops the reading (after the piece being read) and waits for it to end.
  ~LocalFileDigests();
  LocalFileDigests(const LocalFileDigests&) = delete;
  LocalFileDigests& operator=(const LocalFileDigests&) = delete;

  // What was found for the next file of the list, its pieces digested on the way.
  File next();

 private:
  struct Piece {
    std::vector<char> bytes;
    size_t size = 0;
    bool last = false;    // the file's last piece, which tells...
    bool opened = false;  // ...whether it could be opened...
    bool read = false;    // ...and was read whole at its listed size
  };
  static constexpr size_t kPieces = 4;

  void readAll(RecordNode* files);
  void readFile(const FileRecord& record);
  // The reader's next free piece, or nullptr when stopping; publish() hands it over.
  Piece* freePiece();
  void publish();

  Piece pieces_[kPieces];
  std::atomic<size_t> published_{0};  // pieces handed over by the reader...
  std::atomic<size_t> taken_{0};      // ...and digested by the analysis
  std::atomic<bool> stopping_{false};
  const DWORD shareMode_;
  FileDigests digests_;
  std::thread reader_;  // last: it uses the members above
};
