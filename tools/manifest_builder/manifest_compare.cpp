#include "manifest_compare.h"

#include <cinttypes>
#include <cstdio>
#include <map>
#include <set>

#include "download/file_record.h"

namespace {

// A Windows file time as its two manifest halves and as a UTC date, to the 100 ns.
std::string describeTime(uint64_t fileTime) {
  const uint64_t steps = fileTime % 10000000;
  const uint64_t seconds = fileTime / 10000000;
  // Days since 1601-01-01 to a civil date (a 400-year cycle starts on that day).
  int64_t days = static_cast<int64_t>(seconds / 86400);
  const int64_t cycles = days / 146097;
  days %= 146097;
  const int64_t centuries = days == 146096 ? 3 : days / 36524;
  days -= centuries * 36524;
  const int64_t quads = days / 1461;
  days %= 1461;
  const int64_t years = days == 1460 ? 3 : days / 365;
  days -= years * 365;
  const int64_t year = 1601 + cycles * 400 + centuries * 100 + quads * 4 + years;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  const int monthDays[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int month = 0;
  while (days >= monthDays[month]) days -= monthDays[month++];
  const uint64_t daySeconds = seconds % 86400;
  char text[96];
  std::snprintf(text, sizeof text, "%" PRIu64 " %" PRIu64 " (%04" PRId64 "-%02d-%02d %02d:%02d:%02d.%07" PRIu64 " UTC)",
                fileTime & 0xFFFFFFFFu, fileTime >> 32, year, month + 1, static_cast<int>(days + 1),
                static_cast<int>(daySeconds / 3600), static_cast<int>(daySeconds / 60 % 60),
                static_cast<int>(daySeconds % 60), steps);
  return text;
}

// The directory entry a name lies in ("a\b\" for "a\b\c.txt" and "a\b\c\"), or empty
// at the top.
std::string parentOf(const std::string& name) {
  const size_t end = name.size() > 1 ? name.find_last_of('\\', name.size() - 2) : std::string::npos;
  return end == std::string::npos ? std::string() : name.substr(0, end + 1);
}

void compareDirectories(RecordNode* directories, const FolderScan& scan, std::vector<std::string>* out) {
  std::set<std::string> listed;
  for (RecordNode* node = directories; node; node = node->next) {
    const std::string name = static_cast<const char*>(node->item);
    const std::string parent = parentOf(name);
    listed.insert(name);  // the installer's parser refuses a name listed twice
    if (!parent.empty() && !listed.count(parent)) {
      out->push_back("listed before its directory " + parent + ", which the installer must create first: " + name);
    }
  }
  std::set<std::string> present;
  for (const FolderEntry& directory : scan.directories) {
    present.insert(directory.name);
    if (!listed.count(directory.name)) out->push_back("not in the manifest: " + directory.name);
  }
  for (const std::string& name : listed) {
    if (!present.count(name)) out->push_back("missing from the folder: " + name);
  }
}

void compareFile(const FileRecord& record, const FolderEntry& file, const std::string& digest,
                 std::vector<std::string>* out) {
  const std::string name = file.name;
  if (digest != record.digest) {
    out->push_back("digest differs: " + name + ": manifest " + record.digest + ", folder " +
                   (digest.empty() ? "unreadable" : digest));
  }
  if (static_cast<int64_t>(file.facts.size) != record.size) {
    out->push_back("size differs: " + name + ": manifest " + std::to_string(record.size) + ", folder " +
                   std::to_string(file.facts.size));
  }
  if (file.facts.lastWriteTime != record.lastWriteTime) {
    out->push_back("time differs: " + name + ": manifest " + describeTime(record.lastWriteTime) + ", folder " +
                   describeTime(file.facts.lastWriteTime));
  }
}

void compareFiles(RecordNode* files, RecordNode* directories, const FolderScan& scan,
                  const std::vector<std::string>& digests, std::vector<std::string>* out) {
  std::set<std::string> listedDirectories;
  for (RecordNode* node = directories; node; node = node->next)
    listedDirectories.insert(static_cast<const char*>(node->item));
  std::map<std::string, const FileRecord*> listed;
  for (RecordNode* node = files; node; node = node->next) {
    const FileRecord* record = static_cast<const FileRecord*>(node->item);
    const std::string parent = parentOf(record->name);
    listed.emplace(record->name, record);
    if (!parent.empty() && !listedDirectories.count(parent)) {
      out->push_back("its directory " + parent + " is not listed, so the installer cannot write it: " + record->name);
    }
  }
  std::set<std::string> present;
  for (size_t i = 0; i < scan.files.size(); ++i) {
    const FolderEntry& file = scan.files[i];
    present.insert(file.name);
    auto found = listed.find(file.name);
    if (found == listed.end()) {
      out->push_back("not in the manifest: " + file.name);
    } else {
      compareFile(*found->second, file, digests[i], out);
    }
  }
  for (const auto& entry : listed) {
    if (!present.count(entry.first)) out->push_back("missing from the folder: " + entry.first);
  }
}

}  // namespace

std::vector<std::string> manifestDifferences(RecordNode* files, RecordNode* directories,
                                             const FolderScan& scan,
                                             const std::vector<std::string>& digests) {
  std::vector<std::string> differences;
  compareDirectories(directories, scan, &differences);
  compareFiles(files, directories, scan, digests, &differences);
  return differences;
}
