#include "engine/library_check.h"

#include <vector>

#include "download/file_digest_reader.h"
#include "download/install_descriptor.h"
#include "engine/engine_utilities.h"
#include "engine/package_signature.h"

KernelHandle holdSignedLibrary(const char* path, std::string* reason) {
  KernelHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    *reason = std::string("The installer library ") + path + " cannot be opened for its check: " +
              windowsErrorText(GetLastError(), path);
    return file;
  }
  const SignedFile* signedFile = checkedSignedFile(g_libraryName);
  FileDigests digests(true);
  std::vector<char> buffer;
  FileDigestResult result;
  if (!signedFile || !digestOpenFile(file.get(), digests, buffer, &result) || result.sha256 != signedFile->sha256) {
    *reason = std::string("The installer library ") + path + " is not the one the publisher signed.";
    file.close();
  }
  return file;
}
