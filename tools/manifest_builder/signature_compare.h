// Compares a signed folder with its signature file, as an installer with the
// publisher's key will.
#pragma once
#include <string>
#include <vector>

#include "crypto/publisher_key.h"
#include "crypto/sha256.h"
#include "download/record_list.h"
#include "folder_scan.h"

struct SignedFolder {
  std::string signatureText;       // downloadgi.sig as read
  std::string product;             // the name it must carry
  std::string manifestText;        // downloadgi.txt as read
  RecordNode* manifestFiles;       // the manifest's file records, by the installer's parser
  const FolderScan& scan;
  const std::vector<std::string>& md5;     // empty for a file that could not be read
  const std::vector<Sha256Digest>& sha256;  // both follow scan.files
};

// One line per difference: a signature file that is refused or not the key's, another
// product's name, another manifest, files signed but not listed or listed but not
// signed, and files whose SHA-256 differs from their signed one.
std::vector<std::string> signatureDifferences(const SignedFolder& folder, const PublisherKey& key);
