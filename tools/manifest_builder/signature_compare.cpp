#include "signature_compare.h"

#include <set>

#include "crypto/signature_file.h"
#include "download/file_record.h"
#include "signing_key.h"

std::vector<std::string> signatureDifferences(const SignedFolder& folder, const PublisherKey& key) {
  std::vector<std::string> out;
  SignatureFile signature;
  std::string reason;
  const std::string& text = folder.signatureText;
  if (!parseSignatureFile(text.data(), text.size(), &signature, &reason)) {
    out.push_back("signature file refused: " + reason);
    return out;
  }
  if (!checkSignature(key, text.substr(0, signature.signedLength), signature.signature, &reason))
    out.push_back("signature refused: " + reason);
  if (signature.product != folder.product)
    out.push_back("product differs: signature " + signature.product + ", expected " + folder.product);
  const Sha256Digest manifest = sha256(folder.manifestText.data(), folder.manifestText.size());
  if (signature.manifestSha256 != manifest)
    out.push_back("manifest SHA-256 differs: signature " + sha256Text(signature.manifestSha256) + ", manifest " +
                  sha256Text(manifest));

  std::set<std::string> listed;
  for (RecordNode* node = folder.manifestFiles; node; node = node->next) {
    const std::string name = static_cast<const FileRecord*>(node->item)->name;
    listed.insert(name);
    if (!findSignedFile(signature, name)) out.push_back("listed but not signed: " + name);
  }
  for (const SignedFile& file : signature.files)
    if (!listed.count(file.name)) out.push_back("signed but not listed: " + file.name);

  for (size_t i = 0; i < folder.scan.files.size(); ++i) {
    const SignedFile* entry = findSignedFile(signature, folder.scan.files[i].name);
    if (entry && !folder.md5[i].empty() && entry->sha256 != folder.sha256[i])
      out.push_back("SHA-256 differs: " + entry->name + ": signature " + sha256Text(entry->sha256) + ", folder " +
                    sha256Text(folder.sha256[i]));
  }
  return out;
}
