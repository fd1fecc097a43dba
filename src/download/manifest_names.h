// The rules a name of the install manifest keeps so that it is written under the
// download root as itself. One implementation for the installer, which refuses a
// manifest that breaks them, and for velmorin-manifest, which writes none that does.
// Names are relative paths, their components split at "\" (or "/"); a directory's
// ends in "\". Each fault is told as the rule broken, then why it matters.
#pragma once
#include <cstddef>
#include <string>
#include <unordered_map>

// The first rule `name` breaks, or empty when it breaks none:
//   an empty name;
//   "forbidden character": < > : " | ? * or a control character, which Windows does
//   not allow in a name (":" also names drives and streams);
//   "unsafe name": starting at the top of a drive, "..", what Windows reads as ".."
//   ("...", ".. "), or a component ending in "." or " ", which Windows drops;
//   "device name": CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, with or without an
//   extension, in any directory;
//   "reserved name": a component ending in ".~vm" or ".~vr" (in any case), the names
//   the installer gives a file while it arrives and the record beside it.
std::string nameFault(const std::string& name);

// The fault of one character Windows does not allow in a name.
std::string forbiddenCharacterFault(unsigned char c);

// True when root, "\" and name fit a path field of `fieldSize` bytes with its zero.
bool fitsUnderRoot(const char* root, const char* name, size_t fieldSize);

// Windows does not tell "Readme.txt" from "README.TXT", "a/b" from "a\b", nor a
// directory from a file of its name: such names are one on the user's machine.
class NameCollisions {
 public:
  // The name added earlier that Windows takes for the same as `name`, or nullptr.
  const std::string* add(const std::string& name);

 private:
  std::unordered_map<std::string, std::string> seen_;  // folded name -> as written
};

// The fault of a name that Windows takes for the same as `earlier`.
std::string duplicateFault(const std::string& earlier);

// `name` for a report line: control characters shown as \xHH.
std::string printableName(const std::string& name);
