// The revocation fetch limit is one of the chain parameters' extra fields.
#define CERT_CHAIN_PARA_HAS_EXTRA_FIELDS
#include "net/certificate_check.h"

#include <cstdio>

#include "win32/handles.h"
#include "win32/wide_text.h"

namespace {

// What revocation checking may leave unknown: a certificate without revocation
// information, or a revocation server out of reach, is accepted as browsers do.
const DWORD kRevocationUnknown = CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION;

// The policy step leaves revocation to the chain's status, judged above it
// (SECURITY_FLAG_IGNORE_REVOCATION of the SSL policy's checks).
const DWORD kPolicyLeavesRevocation = 0x00000080;

// Revocation lists are fetched with this limit, so a server out of reach cannot hold
// up a connection for long.
const DWORD kRevocationFetchLimitMs = 5000;

std::string dateOf(const FILETIME& time) {
  SYSTEMTIME date;
  if (!FileTimeToSystemTime(&time, &date)) return "an unreadable date";
  char text[16];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u", date.wYear, date.wMonth, date.wDay);
  return text;
}

// The certificate of the chain that is out of its validity period, said with its date.
std::string timeReason(PCCERT_CHAIN_CONTEXT chain) {
  const CERT_SIMPLE_CHAIN* simple = chain->rgpChain[0];
  for (DWORD i = 0; i < simple->cElement; ++i) {
    const CERT_CHAIN_ELEMENT* element = simple->rgpElement[i];
    if (!(element->TrustStatus.dwErrorStatus & CERT_TRUST_IS_NOT_TIME_VALID)) continue;
    const CERT_INFO* info = element->pCertContext->pCertInfo;
    const char* whose = i == 0 ? "" : " (a certificate of its issuer)";
    if (CertVerifyTimeValidity(nullptr, const_cast<CERT_INFO*>(info)) < 0)
      return std::string("not valid before ") + dateOf(info->NotBefore) + whose;
    return std::string("expired on ") + dateOf(info->NotAfter) + whose;
  }
  return "outside its validity period";
}

std::string chainReason(PCCERT_CHAIN_CONTEXT chain) {
  const DWORD errors = chain->TrustStatus.dwErrorStatus & ~kRevocationUnknown;
  if (errors & CERT_TRUST_IS_REVOKED) return "revoked by its issuer";
  if (errors & (CERT_TRUST_IS_NOT_SIGNATURE_VALID | CERT_TRUST_CTL_IS_NOT_SIGNATURE_VALID))
    return "its signature does not match its issuer";
  if (errors & (CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_PARTIAL_CHAIN | CERT_TRUST_IS_CYCLIC))
    return "issued by an unknown authority";
  if (errors & CERT_TRUST_IS_NOT_TIME_VALID) return timeReason(chain);
  if (errors & (CERT_TRUST_IS_NOT_VALID_FOR_USAGE | CERT_TRUST_CTL_IS_NOT_VALID_FOR_USAGE))
    return "not made for web servers";
  char text[64];
  std::snprintf(text, sizeof text, "its chain is not valid (status 0x%08lx)", errors);
  return text;
}

std::string policyReason(DWORD error, const std::string& serverName) {
  switch (error) {
    case static_cast<DWORD>(CERT_E_CN_NO_MATCH):
      return "made out to another name than " + serverName;
    case static_cast<DWORD>(CERT_E_UNTRUSTEDROOT):
    case static_cast<DWORD>(CERT_E_CHAINING):
      return "issued by an unknown authority";
    case static_cast<DWORD>(CERT_E_EXPIRED):
      return "outside its validity period";
    case static_cast<DWORD>(CERT_E_REVOKED):
      return "revoked by its issuer";
    case static_cast<DWORD>(CERT_E_WRONG_USAGE):
      return "not made for web servers";
    default: {
      char text[64];
      std::snprintf(text, sizeof text, "refused by the system (error 0x%08lx)", error);
      return text;
    }
  }
}

// Certificate chains (CertGetCertificateChain).
struct CertificateChainTraits {
  static PCCERT_CHAIN_CONTEXT none() { return nullptr; }
  static bool valid(PCCERT_CHAIN_CONTEXT chain) { return chain != nullptr; }
  static bool close(PCCERT_CHAIN_CONTEXT chain) {
    CertFreeCertificateChain(chain);
    return true;
  }
};
using CertificateChain = UniqueHandle<PCCERT_CHAIN_CONTEXT, CertificateChainTraits>;

}  // namespace

bool certificateTrusted(PCCERT_CONTEXT certificate, const std::string& serverName,
                        std::string* reason) {
  // The chain is built with the certificates the server sent, so that an
  // intermediate it sent counts and a chain that stops short of a root is seen.
  LPSTR serverUse[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH)};
  CERT_CHAIN_PARA parameters = {};
  parameters.cbSize = sizeof parameters;
  parameters.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  parameters.RequestedUsage.Usage.cUsageIdentifier = 1;
  parameters.RequestedUsage.Usage.rgpszUsageIdentifier = serverUse;
  parameters.dwUrlRetrievalTimeout = kRevocationFetchLimitMs;
  PCCERT_CHAIN_CONTEXT built = nullptr;
  const bool madeChain =
      CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &parameters,
                              CERT_CHAIN_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT, nullptr, &built) != 0;
  const CertificateChain chain(built);
  if (!madeChain) {
    char text[64];
    std::snprintf(text, sizeof text, "its chain could not be built (error %lu)", GetLastError());
    *reason = text;
    return false;
  }
  if (chain.get()->TrustStatus.dwErrorStatus & ~kRevocationUnknown) {
    *reason = chainReason(chain.get());
    return false;
  }

  std::wstring name = wide(serverName);
  SSL_EXTRA_CERT_CHAIN_POLICY_PARA server = {};
  server.cbSize = sizeof server;
  server.dwAuthType = AUTHTYPE_SERVER;
  server.fdwChecks = kPolicyLeavesRevocation;
  server.pwszServerName = &name[0];
  CERT_CHAIN_POLICY_PARA policy = {};
  policy.cbSize = sizeof policy;
  policy.dwFlags = CERT_CHAIN_POLICY_IGNORE_ALL_REV_UNKNOWN_FLAGS;
  policy.pvExtraPolicyPara = &server;
  CERT_CHAIN_POLICY_STATUS status = {};
  status.cbSize = sizeof status;
  if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.get(), &policy, &status)) {
    *reason = policyReason(GetLastError(), serverName);
    return false;
  }
  if (status.dwError != 0 && status.dwError != static_cast<DWORD>(CRYPT_E_NO_REVOCATION_CHECK) &&
      status.dwError != static_cast<DWORD>(CRYPT_E_REVOCATION_OFFLINE)) {
    *reason = policyReason(status.dwError, serverName);
    return false;
  }
  return true;
}
