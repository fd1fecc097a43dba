#include "download/download_retry.h"

#include <windows.h>

#include <stdexcept>

#include "download/download_once.h"
#include "download/download_once_text.h"
#include "services/message_box.h"

bool retryUntilDeclined(const char* baseUrl, const char* fileName,
                        const std::function<void(const char* base, const char* name)>& attempt) {
  char base[kDownloadInputSize];
  char name[kDownloadInputSize];
  // Inputs that do not fit are kept cut for the question, but no attempt runs on them.
  const bool baseFits = copyWithSlashes(base, sizeof(base), baseUrl ? baseUrl : "");
  const bool nameFits = copyWithSlashes(name, sizeof(name), fileName ? fileName : "");
  const bool fits = baseFits && nameFits;
  for (;;) {
    Sleep(100);
    try {
      if (!fits) throw std::logic_error("downloadFile() -> Error: Address too long");
      attempt(base, name);
      return true;
    } catch (...) {
      // Every fault of an attempt, whatever its kind, becomes the same question.
    }
    char question[kDownloadQuestionSize];
    formatRetryQuestion(question, sizeof(question), base, name);
    if (showMessageBox(nullptr, question, nullptr, MB_SYSTEMMODAL | MB_YESNO) == IDNO) return false;
  }
}
