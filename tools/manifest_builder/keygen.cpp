// velmorin-manifest keygen PRIVATE_KEY_FILE PUBLIC_KEY_FILE: a new publisher key pair.
#include <cstdio>

#include "folder_access.h"
#include "manifest_tool.h"
#include "signing_key.h"
#include "tool_flows.h"

int writeKeyPair(const ToolOptions& options, std::ostream& out, std::ostream& err) {
  // 1. Neither file may exist: a key that signed releases must never be lost.
  for (const std::string& path : {options.privateKeyFile, options.publicKeyFile}) {
    PathFacts facts;
    std::string error;
    if (!readPathFacts(path, &facts, &error) || facts.kind != PathKind::missing) {
      err << "velmorin-manifest: " << path << ": " << (error.empty() ? "exists already; keygen never overwrites a key" : error)
          << "\n";
      return kToolUnusable;
    }
  }

  // 2. Make the pair.
  std::string privatePem, publicPem, error;
  if (!generateKeyPair(&privatePem, &publicPem, &error)) {
    err << "velmorin-manifest: " << error << "\n";
    return kToolUnusable;
  }

  // 3. The private key for its owner's eyes only, then the public key; both or neither.
  if (!createNewFile(options.privateKeyFile, privatePem, true, &error)) {
    err << "velmorin-manifest: " << options.privateKeyFile << ": " << error << "\n";
    return kToolUnusable;
  }
  if (!createNewFile(options.publicKeyFile, publicPem, false, &error)) {
    err << "velmorin-manifest: " << options.publicKeyFile << ": " << error << "\n";
    std::remove(options.privateKeyFile.c_str());
    return kToolUnusable;
  }
  out << "wrote " << options.privateKeyFile << " (the private key: sign with it, keep it off the server)\n"
      << "wrote " << options.publicKeyFile << " (the public key: build the installer with -DVELMORIN_PUBLISHER_KEY="
      << options.publicKeyFile << ")\n";
  return kToolDone;
}
