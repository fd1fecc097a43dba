#include "tool_options.h"

#include "crypto/signature_file.h"

const char kToolHelp[] =
    "velmorin-manifest: writes the install manifest (downloadgi.txt) of a product folder,\n"
    "or checks a folder against it.\n"
    "\n"
    "Usage:\n"
    "  velmorin-manifest [options] FOLDER           write FOLDER/downloadgi.txt\n"
    "  velmorin-manifest --check [options] FOLDER   list how FOLDER differs from its manifest\n"
    "  velmorin-manifest keygen PRIVATE_KEY_FILE PUBLIC_KEY_FILE\n"
    "                                               write a new publisher key pair\n"
    "\n"
    "Options:\n"
    "  -o FILE          write the manifest to FILE instead of FOLDER/downloadgi.txt\n"
    "  -m FILE          with --check: read the manifest from FILE instead\n"
    "  --product NAME   the product's name as in its install descriptor, which becomes part\n"
    "                   of every local path (default: FOLDER's own name)\n"
    "  --sign KEY       also write downloadgi.sig beside the manifest, signed with the\n"
    "                   private key file KEY\n"
    "  --serial N       with --sign: the release's serial number, raised with every\n"
    "                   release (default: the current UTC time in seconds)\n"
    "  --key KEY        with --check: also check downloadgi.sig beside the manifest against\n"
    "                   the public key file KEY: the signature, the product's name, the\n"
    "                   manifest's SHA-256 and every file's\n"
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
    "Not listed: FOLDER/downloadgi.txt and FOLDER/downloadgi.sig, nor the -o or -m file\n"
    "and the signature beside it wherever they lie.\n"
    "Symbolic links are followed and listed as what they lead to.\n"
    "\n"
    "Refused, with no manifest written: names holding < > : \" | ? * \\ or control\n"
    "characters; names ending in a dot or a space; names the installer refuses (a drive,\n"
    "\"..\" and its look-alikes, CON, NUL, COM1 and the other device names, with or\n"
    "without an extension); names too long for the installer's 255-character local path\n"
    "even under the shortest download folder; two names that differ only in letter\n"
    "case; names ending in .~vm or .~vr (the installer's, for files on their way); links\n"
    "that lead nowhere or back into a folder above them; a folder without files. Warned\n"
    "about: names whose local path passes 255 characters under a usual download folder (a\n"
    "20-character user name), and names beyond ASCII. Files may be of any size.\n"
    "\n"
    "Keys: keygen writes an ECDSA P-256 pair, the private key as PKCS#8 PEM (readable by\n"
    "its owner only; keep it off the server) and the public key as PEM, for the\n"
    "installer's build (-DVELMORIN_PUBLISHER_KEY=PUBLIC_KEY_FILE). It never overwrites a\n"
    "file. Keys from openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 and\n"
    "openssl pkey -pubout serve as well.\n"
    "\n"
    "downloadgi.sig: lines ended by LF: \"velmorin-signature 1\", \"product NAME\",\n"
    "\"serial N\", \"manifest SHA256\" (of downloadgi.txt as served), one \"file SHA256\n"
    "NAME\" per file (names as in the manifest, ascending byte by byte), and last\n"
    "\"signature R||S\": ECDSA P-256 over the SHA-256 of every byte above it. Digests\n"
    "and signature in lower-case hexadecimal.\n"
    "\n"
    "Exit status: 0 written, or no difference; 1 something refused, or differences\n"
    "found; 2 the command line, the folder, the manifest or a key file could not be\n"
    "used.\n";

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

namespace {
bool parseKeygen(const std::vector<std::string>& args, ToolOptions* options, std::string* error) {
  if (args.size() != 3 || args[1].empty() || args[2].empty() || args[1][0] == '-' || args[2][0] == '-') {
    *error = "keygen takes two files: PRIVATE_KEY_FILE PUBLIC_KEY_FILE";
    return false;
  }
  options->keygen = true;
  options->privateKeyFile = args[1];
  options->publicKeyFile = args[2];
  return true;
}
}  // namespace

bool parseToolOptions(const std::vector<std::string>& args, ToolOptions* options, std::string* error) {
  if (!args.empty() && args[0] == "keygen") return parseKeygen(args, options, error);
  std::string serial;
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
    } else if (arg == "--sign") {
      if (!takeValue(args, &i, &options->signingKey, error)) return false;
    } else if (arg == "--key") {
      if (!takeValue(args, &i, &options->checkKey, error)) return false;
    } else if (arg == "--serial") {
      if (!takeValue(args, &i, &serial, error)) return false;
      if (!parseSerialNumber(serial, &options->serial)) {
        *error = "--serial takes a decimal number from 0 to 18446744073709551615, not " + serial;
        return false;
      }
      options->serialGiven = true;
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
  if (options->check && !options->signingKey.empty()) {
    *error = "--sign writes a signature; --check checks one (--key)";
    return false;
  }
  if (!options->check && !options->checkKey.empty()) {
    *error = "--key goes with --check; a signature is written with --sign";
    return false;
  }
  if (options->serialGiven && options->signingKey.empty()) {
    *error = "--serial goes with --sign";
    return false;
  }
  return true;
}
