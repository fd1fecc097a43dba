// Makes the Wine prefix it runs in trust a test certificate authority: the
// certificate (PEM or DER file) goes into the local machine's "Root" store, which
// under Wine is a registry key inside the prefix, so nothing outside it changes.
// The program under test has no switch for this; it trusts what the system trusts.
// An authority of the same name trusted by an earlier run is removed first.
//   trust_root_certificate <certificate file>
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: trust_root_certificate <certificate file>\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  DWORD size = 0;
  if (!CryptStringToBinaryA(text.c_str(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64_ANY, nullptr,
                            &size, nullptr, nullptr)) {
    std::fprintf(stderr, "trust_root_certificate: %s holds no certificate\n", argv[1]);
    return 1;
  }
  std::vector<BYTE> der(size);
  CryptStringToBinaryA(text.c_str(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64_ANY, der.data(),
                       &size, nullptr, nullptr);
  HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, "Root");
  if (!root) {
    std::fprintf(stderr, "trust_root_certificate: no Root store (error %lu)\n", GetLastError());
    return 1;
  }
  PCCERT_CONTEXT certificate = CertCreateCertificateContext(X509_ASN_ENCODING, der.data(), size);
  for (PCCERT_CONTEXT earlier = nullptr; certificate;) {
    earlier = CertFindCertificateInStore(root, X509_ASN_ENCODING, 0, CERT_FIND_SUBJECT_NAME,
                                         &certificate->pCertInfo->Subject, nullptr);
    if (!earlier) break;
    CertDeleteCertificateFromStore(earlier);
  }
  if (certificate) CertFreeCertificateContext(certificate);
  bool added = CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, der.data(), size,
                                                CERT_STORE_ADD_REPLACE_EXISTING, nullptr) &&
               CertControlStore(root, 0, CERT_STORE_CTRL_COMMIT, nullptr);
  if (!added) std::fprintf(stderr, "trust_root_certificate: not added (error %lu)\n", GetLastError());
  CertCloseStore(root, 0);
  return added ? 0 : 1;
}
