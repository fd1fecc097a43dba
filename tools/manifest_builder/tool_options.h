// The command line of velmorin-manifest.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct ToolOptions {
  bool help = false;
  bool keygen = false;    // keygen PRIVATE_KEY_FILE PUBLIC_KEY_FILE: a new key pair
  bool check = false;     // compare the folder with a manifest instead of writing one
  bool progress = false;  // progress on stderr even when it is not a terminal
  std::string folder;
  std::string output;    // -o: the manifest to write (default: in the folder)
  std::string manifest;  // -m: the manifest to check (default: in the folder)
  std::string product;   // --product: the product's name (default: the folder's own name)
  std::string signingKey;  // --sign: the private key that signs the manifest and files
  bool serialGiven = false;
  uint64_t serial = 0;     // --serial (default: the current UTC time in seconds)
  std::string checkKey;    // --key, with --check: the public key the folder must be signed with
  std::string privateKeyFile, publicKeyFile;  // keygen's two files
};

// False with *error for a command line that cannot be followed.
bool parseToolOptions(const std::vector<std::string>& args, ToolOptions* options, std::string* error);

extern const char kToolHelp[];
