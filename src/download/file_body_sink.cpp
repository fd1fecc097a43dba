#include "download/file_body_sink.h"

#include "net/response_head.h"

namespace {

const char* validatorHeader(PartialRecord::Validator kind) {
  return kind == PartialRecord::Validator::etag ? "etag" : "last-modified";
}

// `wanted` with the validator the server gave: its ETag when it is a strong one, or
// else its Last-Modified date.
PartialRecord withValidatorOf(const std::string& head, PartialRecord wanted) {
  wanted.kind = PartialRecord::Validator::etag;
  wanted.validator = headerValue(head, "etag");
  if (!usableValidator(wanted.kind, wanted.validator)) {
    wanted.kind = PartialRecord::Validator::modified;
    wanted.validator = headerValue(head, "last-modified");
  }
  return wanted;
}

// Why an answer to a request for the bytes from `kept` on does not continue them, or
// empty when it does: a 206 whose Content-Range runs from `kept` to the end of a file
// of `record`'s size, carrying `record`'s validator unchanged.
std::string resumeRefusal(const std::string& head, int64_t kept, const PartialRecord& record) {
  const int status = responseStatus(head);
  const bool changed = headerValue(head, validatorHeader(record.kind)) != record.validator;
  if (status == 200)
    return changed ? "the file changed on the server" : "the server sent the whole file (200), not the rest";
  if (status == 416) return "the server refused the range (416)";
  if (status != 206) return "the server answered " + std::to_string(status) + " to the request for the rest";
  ContentRange range;
  if (!contentRange(head, &range)) return "the server's partial answer names no range of the file";
  if (range.first != static_cast<uint64_t>(kept) || range.total != static_cast<uint64_t>(record.size) ||
      range.last + 1 != range.total)
    return "the server sent bytes " + std::to_string(range.first) + "-" + std::to_string(range.last) + "/" +
           std::to_string(range.total) + ", not " + std::to_string(kept) + "-" + std::to_string(record.size - 1) +
           "/" + std::to_string(record.size);
  if (changed) return "the file changed on the server";
  return {};
}

}  // namespace

BodySink::Take FileBodySink::headArrived(const std::string& head) {
  headSeen_ = true;
  const int64_t kept = file_.kept();
  if (kept > 0) {
    const std::string refusal = resumeRefusal(head, kept, file_.keptRecord());
    if (refusal.empty()) {
      note("Resuming at byte " + std::to_string(kept) + " of " + std::to_string(job_.size));
      return Take::body;
    }
    note("Starting again from byte 0: " + refusal);
    if (responseStatus(head) != 200) {  // its body is not the file: ask again for all of it
      askWhole_ = true;
      return Take::stop;
    }
  }
  // Only a whole file (200) is worth a record: an error page is never taken up again.
  const PartialRecord record = responseStatus(head) == 200 ? withValidatorOf(head, wanted_) : PartialRecord{};
  return file_.startAgain(record, &writeError_) ? Take::body : Take::stop;
}

bool FileBodySink::bodyArrived(const char* data, size_t size) {
  // The listed size is the file's: a longer body is not the file, and is not read on.
  if (static_cast<uint64_t>(file_.size()) + size > static_cast<uint64_t>(job_.size)) {
    longer_ = true;
    return false;
  }
  if (!file_.append(data, size, &writeError_)) return false;
  if (job_.progress) job_.progress(job_.context, file_.size());
  return true;
}

void FileBodySink::note(const std::string& text) const {
  if (job_.note) job_.note(job_.context, text.c_str());
}
