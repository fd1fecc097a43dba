#include "crypto/signature_file.h"

#include <algorithm>
#include <cstring>

#include "crypto/hex_text.h"

namespace {

const char kFirstLine[] = "velmorin-signature 1";
const char kFormatWord[] = "velmorin-signature ";

// What is wrong with a name in a line of the format ("the name " and this), or nullptr.
const char* nameProblem(const std::string& name) {
  if (name.empty()) return "is empty";
  if (name.size() > kSignedNameMaximum) return "is longer than 255 bytes";
  if (name.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) return "holds CR, LF or NUL";
  return nullptr;
}

// Walks the text line by line, remembering where each line starts.
class Lines {
 public:
  Lines(const char* text, size_t size) : text_(text), size_(size) {}

  // The next line without its LF; false at the end of the text or, with *reason, for a
  // last line without LF.
  bool next(std::string* line, std::string* reason) {
    if (at_ == size_) return false;
    start_ = at_;
    ++number_;
    const void* lf = std::memchr(text_ + at_, '\n', size_ - at_);
    if (!lf) {
      *reason = where() + "does not end in LF (the file is cut short)";
      return false;
    }
    const size_t end = static_cast<const char*>(lf) - text_;
    line->assign(text_ + at_, end - at_);
    at_ = end + 1;
    return true;
  }

  size_t lineStart() const { return start_; }
  std::string where() const { return "line " + std::to_string(number_) + ": "; }

 private:
  const char* text_;
  size_t size_;
  size_t at_ = 0;
  size_t start_ = 0;
  size_t number_ = 0;
};

// "word value": the value after the word and one space, or false.
bool valueOf(const std::string& line, const char* word, std::string* value) {
  const size_t length = std::strlen(word);
  if (line.compare(0, length, word) != 0 || line.size() <= length || line[length] != ' ') return false;
  *value = line.substr(length + 1);
  return true;
}

bool readHeader(Lines& lines, SignatureFile* parsed, std::string* reason) {
  std::string line, value;
  if (!lines.next(&line, reason)) return false;
  if (line != kFirstLine) {
    if (line.compare(0, sizeof kFormatWord - 1, kFormatWord) == 0)
      *reason = "format version " + line.substr(sizeof kFormatWord - 1) + " is not one this program reads (it reads 1)";
    else
      *reason = std::string("not a signature file (its first line is not \"") + kFirstLine + "\")";
    return false;
  }
  if (!lines.next(&line, reason) || !valueOf(line, "product", &parsed->product)) {
    if (reason->empty()) *reason = lines.where() + "\"product <name>\" expected";
    return false;
  }
  if (const char* problem = nameProblem(parsed->product)) {
    *reason = lines.where() + "the product's name " + problem;
    return false;
  }
  if (!lines.next(&line, reason) || !valueOf(line, "serial", &value) || !parseSerialNumber(value, &parsed->serial)) {
    if (reason->empty()) *reason = lines.where() + "\"serial <decimal number below 2^64>\" expected";
    return false;
  }
  if (!lines.next(&line, reason) || !valueOf(line, "manifest", &value) ||
      !parseLowerHex(value.data(), value.size(), parsed->manifestSha256.data(), 32)) {
    if (reason->empty()) *reason = lines.where() + "\"manifest <64 lower-case hexadecimal digits>\" expected";
    return false;
  }
  return true;
}

// "file <sha256> <name>" lines, up to the signature line, which is left in *line.
bool readFiles(Lines& lines, SignatureFile* parsed, std::string* line, std::string* reason) {
  std::string value;
  while (lines.next(line, reason)) {
    if (!valueOf(*line, "file", &value)) return true;
    SignedFile file;
    if (value.size() < 66 || value[64] != ' ' || !parseLowerHex(value.data(), 64, file.sha256.data(), 32)) {
      *reason = lines.where() + "\"file <64 lower-case hexadecimal digits> <name>\" expected";
      return false;
    }
    file.name = value.substr(65);
    if (const char* problem = nameProblem(file.name)) {
      *reason = lines.where() + "the name " + problem;
      return false;
    }
    if (!parsed->files.empty() && file.name <= parsed->files.back().name) {
      *reason = lines.where() + (file.name == parsed->files.back().name ? "a name listed twice: "
                                                                        : "names out of order (byte by byte ascending): ") + file.name;
      return false;
    }
    parsed->files.push_back(std::move(file));
  }
  if (reason->empty()) *reason = "no signature line (the file is cut short)";
  return false;
}

}  // namespace

bool startsAsSignatureFile(const char* text, size_t size) {
  return size >= sizeof kFormatWord - 1 && std::memcmp(text, kFormatWord, sizeof kFormatWord - 1) == 0;
}

bool parseSignatureFile(const char* text, size_t size, SignatureFile* parsed, std::string* reason) {
  *parsed = SignatureFile();
  reason->clear();
  if (size > kSignatureFileMaximum) {
    *reason = "larger than " + std::to_string(kSignatureFileMaximum) + " bytes";
    return false;
  }
  if (!startsAsSignatureFile(text, size)) {
    *reason = size == 0 ? "the file is empty"
                        : std::string("not a signature file (its first line is not \"") + kFirstLine + "\")";
    return false;
  }
  if (std::memchr(text, '\r', size)) {
    *reason = "it holds CR (line ends changed on the way?); lines end in LF alone";
    return false;
  }
  Lines lines(text, size);
  std::string line, value;
  if (!readHeader(lines, parsed, reason) || !readFiles(lines, parsed, &line, reason)) return false;
  if (!valueOf(line, "signature", &value) || !parseLowerHex(value.data(), value.size(), parsed->signature.data(), 64)) {
    *reason = lines.where() + "\"file ...\" or \"signature <128 lower-case hexadecimal digits>\" expected";
    return false;
  }
  parsed->signedLength = lines.lineStart();
  if (lines.next(&line, reason) || !reason->empty()) {
    *reason = lines.where() + "something after the signature line";
    return false;
  }
  return true;
}

bool signedPartText(const SignatureFile& content, std::string* text, std::string* reason) {
  if (const char* problem = nameProblem(content.product)) {
    *reason = std::string("the product's name ") + problem;
    return false;
  }
  std::vector<const SignedFile*> files;
  for (const SignedFile& file : content.files) files.push_back(&file);
  std::sort(files.begin(), files.end(), [](const SignedFile* a, const SignedFile* b) { return a->name < b->name; });
  *text = std::string(kFirstLine) + "\nproduct " + content.product + "\nserial " + std::to_string(content.serial) +
          "\nmanifest " + sha256Text(content.manifestSha256) + "\n";
  for (size_t i = 0; i < files.size(); ++i) {
    if (const char* problem = nameProblem(files[i]->name)) {
      *reason = files[i]->name + ": the name " + problem;
      return false;
    }
    if (i > 0 && files[i]->name == files[i - 1]->name) {
      *reason = "a name listed twice: " + files[i]->name;
      return false;
    }
    *text += "file " + sha256Text(files[i]->sha256) + " " + files[i]->name + "\n";
  }
  return true;
}

std::string signatureLine(const RawSignature& signature) {
  return "signature " + hexText(signature.data(), signature.size()) + "\n";
}

bool parseSerialNumber(const std::string& text, uint64_t* serial) {
  if (text.empty() || text.size() > 20 || (text[0] == '0' && text.size() > 1)) return false;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    const uint64_t digit = uint64_t(c - '0');
    if (value > (UINT64_MAX - digit) / 10) return false;
    value = value * 10 + digit;
  }
  *serial = value;
  return true;
}

const SignedFile* findSignedFile(const SignatureFile& parsed, const std::string& name) {
  const auto at = std::lower_bound(parsed.files.begin(), parsed.files.end(), name,
                                   [](const SignedFile& file, const std::string& key) { return file.name < key; });
  return at != parsed.files.end() && at->name == name ? &*at : nullptr;
}
