#include "download/download_once_text.h"

#include <cstdio>

namespace {
void slashes(char* text) {
  for (; *text; ++text)
    if (*text == '\\') *text = '/';
}

bool fitted(int written, size_t outSize) {
  return written >= 0 && static_cast<size_t>(written) < outSize;
}
}  // namespace

bool copyWithSlashes(char* out, size_t outSize, const char* text) {
  int written = std::snprintf(out, outSize, "%s", text);
  slashes(out);
  return fitted(written, outSize);
}

bool joinAddress(char* out, size_t outSize, const char* baseUrl, const char* fileName) {
  int written = std::snprintf(out, outSize, "%s/%s", baseUrl, fileName);
  slashes(out);
  return fitted(written, outSize);
}

bool formatRetryQuestion(char* out, size_t outSize, const char* baseUrl, const char* fileName) {
  int written =
      std::snprintf(out, outSize, "Failure downloading %s//%s , retry download\n", baseUrl, fileName);
  return fitted(written, outSize);
}
