// PEM: DER bytes in base64 between "-----BEGIN <label>-----" and "-----END <label>-----"
// lines, the form keys are kept in.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The bytes of the one block labelled `label`, with nothing but white space around
// it; line ends may be LF or CR LF. False with *reason.
bool readPem(const std::string& text, const std::string& label, std::vector<uint8_t>* der, std::string* reason);

// The block: base64 lines of 64 characters, each ended by LF, as OpenSSL writes them.
std::string writePem(const std::string& label, const std::vector<uint8_t>& der);
