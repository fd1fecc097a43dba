// Whether a server's certificate is one to trust for a name, decided by the system:
// the chain is built from the certificates the server sent up to a root the system
// trusts, then checked for TLS server use with the name. Nothing in the program can
// loosen it; a test machine trusts a test authority by putting it among its roots.
#pragma once
#include <windows.h>
#include <wincrypt.h>

#include <string>

// True when the certificate is good for `serverName`; otherwise false with the
// reason in `reason` ("issued by an unknown authority", "expired on 2020-02-01"...).
bool certificateTrusted(PCCERT_CONTEXT certificate, const std::string& serverName,
                        std::string* reason);
