// TLS 1.2 or 1.3 over a lower byte channel, through the system's Schannel: the
// handshake names the server (SNI), what is sent goes out in encrypted records, and
// what arrives is decrypted a socket read at a time (64 KiB and more, since every
// read costs the same whatever its size).
#pragma once
#define SECURITY_WIN32
// The credentials that offer TLS 1.3 come with this switch.
#define SCHANNEL_USE_BLACKLISTS
#include <winsock2.h>
#include <windows.h>
#include <wincrypt.h>
#include <security.h>
#include <subauth.h>
#include <schannel.h>

#include <string>
#include <vector>

#include "net/byte_channel.h"

class TlsChannel : public ByteChannel {
 public:
  explicit TlsChannel(ByteChannel& lower);
  ~TlsChannel() override;
  TlsChannel(const TlsChannel&) = delete;
  TlsChannel& operator=(const TlsChannel&) = delete;

  // Runs the handshake with `serverName`, each wait for the server at most
  // `idleLimitMs` (0: no limit). False with the reason in the program's words.
  // The certificate is not judged here (see certificate_check.h).
  bool handshake(const std::string& serverName, DWORD idleLimitMs, std::string* reason);
  // "TLS 1.2" or "TLS 1.3" once the handshake is done (empty for anything else).
  std::string protocol() const;
  // The certificate the server showed, with the certificates it sent in its store;
  // the caller frees it. Null when there is none.
  PCCERT_CONTEXT serverCertificate() const;
  // Tells the server that nothing more comes (close_notify), if it has not ended
  // the session itself. Errors are of no consequence here.
  void shutdown();

  size_t sendAll(const char* data, size_t size, int* error) override;
  int readSome(char* into, size_t room, int* error) override;
  int waitReadable(const DWORD* limitMs) override;

 private:
  SECURITY_STATUS exchangeTokens(bool needData, std::string* reason);
  bool readMore(std::string* reason);
  int decryptInto(char* into, size_t room, int* error);
  void makeRoom();

  ByteChannel& lower_;
  CtxtHandle context_;
  bool haveContext_ = false;
  SecPkgContext_StreamSizes sizes_ = {};
  // Encrypted bytes received and not decrypted yet: [inStart_, inEnd_) of incoming_.
  std::vector<char> incoming_;
  size_t inStart_ = 0;
  size_t inEnd_ = 0;
  // True when the bytes held are known to be less than a record.
  bool needMore_ = true;
  // Decrypted bytes that did not fit the reader's room: [plainAt_, end) of plain_.
  std::string plain_;
  size_t plainAt_ = 0;
  bool ended_ = false;  // the server sent close_notify or closed the connection
  SECURITY_STATUS failure_ = SEC_E_OK;  // a record that did not decrypt ends the stream
  std::vector<char> outgoing_;
  std::string serverName_;
  DWORD idleLimitMs_ = 0;
};
