#include "tool_options.h"

const char kToolHelp[] =
    "velmorin-manifest: writes the install manifest (downloadgi.txt) of a product folder,\n"
    "or checks a folder against it.\n"
    "\n"
    "Usage:\n"
    "  velmorin-manifest [options] FOLDER           write FOLDER/downloadgi.txt\n"
    "  velmorin-manifest --check [options] FOLDER   list how FOLDER differs from its manifest\n"
    "\n"
    "Options:\n"
    "  -o FILE          write the manifest to FILE instead of FOLDER/downloadgi.txt\n"
    "  -m FILE          with --check: read the manifest from FILE instead\n"
    "  --product NAME   the product's name as in its install descriptor, which becomes part\n"
    "                   of every local path (default: FOLDER's own name)\n"
    "  --progress       report progress on stderr even when it is not a terminal\n"
    "  -h, --help       show this text\n"
    "\n"
    "The manifest: \"OK\", then every directory as its relative path ending in \"\\\", then\n"
    "every file as four lines: its relative path; its MD5 digest, \"|\" and its size; the\n"
    "low and the high 32 bits of its last-write time as a Windows file time (100 ns\n"
    "steps since 1601-01-01 UTC). Lines end in CR LF. Order: the directories, then the\n"
    "files, each sorted byte by byte on their backslash paths, so a directory comes\n"
    "before everything in it and the same folder always gives the same text.\n"
    "\n"
    "Not listed: FOLDER/downloadgi.txt itself, nor the -o or -m file wherever it lies.\n"
    "Symbolic links are followed and listed as what they lead to.\n"
    "\n"
    "Refused, with no manifest written: names holding < > : \" | ? * \\ or control\n"
    "characters; names ending in a dot or a space; names the installer refuses (a drive,\n"
    "\"..\" and its look-alikes, CON, NUL, COM1 and the other device names, with or\n"
    "without an extension); names too long for the installer's 255-character local path\n"
    "even under the shortest download folder; two names that differ only in letter\n"
    "case; files over 2147483647 bytes; links that lead nowhere or back into a folder\n"
    "above them; a folder without files. Warned about: names whose local path passes 255\n"
    "characters under a usual download folder (a 20-character user name), and names\n"
    "beyond ASCII.\n"
    "\n"
    "Exit status: 0 written, or no difference; 1 something refused, or differences\n"
    "found; 2 the command line, the folder or the manifest file could not be used.\n";

namespace {
// The value of an option that takes one, or false when it is missing.
bool takeValue(const std::vector<std::string>& args, size_t* i, std::string* value, std::string* error) {
  if (*i + 1 >= args.size()) {
    *error = args[*i] + " needs a value";
    return false;
  }
  *value = args[++*i];
  return true;
}
}  // namespace

bool parseToolOptions(const std::vector<std::string>& args, ToolOptions* options, std::string* error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-h" || arg == "--help") {
      options->help = true;
    } else if (arg == "--check") {
      options->check = true;
    } else if (arg == "--progress") {
      options->progress = true;
    } else if (arg == "-o") {
      if (!takeValue(args, &i, &options->output, error)) return false;
    } else if (arg == "-m") {
      if (!takeValue(args, &i, &options->manifest, error)) return false;
    } else if (arg == "--product") {
      if (!takeValue(args, &i, &options->product, error)) return false;
    } else if (arg.size() > 1 && arg[0] == '-') {
      *error = "unknown option " + arg;
      return false;
    } else if (options->folder.empty()) {
      options->folder = arg;
    } else {
      *error = "one folder only, but " + arg + " follows " + options->folder;
      return false;
    }
  }
  if (options->help) return true;
  if (options->folder.empty()) {
    *error = "no folder given";
    return false;
  }
  if (options->check && !options->output.empty()) {
    *error = "-o writes a manifest; --check reads one (-m)";
    return false;
  }
  if (!options->check && !options->manifest.empty()) {
    *error = "-m goes with --check; a manifest is written with -o";
    return false;
  }
  return true;
}
