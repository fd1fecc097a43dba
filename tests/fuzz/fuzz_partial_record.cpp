// Whatever lies on disk beside a partial file: the record it reads back is one the
// program could have written, byte for byte, with a validator fit for If-Range.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "download/partial_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  PartialRecord record;
  if (!parsePartialRecord(text, size, &record)) return 0;
  if (partialRecordText(record) != std::string(text, size) || record.size < 0 ||
      !usableValidator(record.kind, record.validator))
    std::abort();
  return 0;
}
