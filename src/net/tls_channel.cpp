#include "net/tls_channel.h"

#include <cstdio>
#include <cstring>

namespace {

const unsigned long kRequests = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT |
                                ISC_REQ_CONFIDENTIALITY | ISC_REQ_ALLOCATE_MEMORY |
                                ISC_REQ_STREAM | ISC_REQ_EXTENDED_ERROR |
                                // judged by the program itself, with the system's roots
                                ISC_REQ_MANUAL_CRED_VALIDATION;
const DWORD kAllowedProtocols = SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT;
// Free room asked of every socket read.
const size_t kReadRoom = 64 * 1024;
// A record is at most about 16 KiB; more held without one whole record is not TLS.
const size_t kLargestHeld = 256 * 1024;

// One set of credentials for the process, so that Schannel can resume sessions
// between the connections of a run.
class SharedCredentials {
 public:
  static CredHandle* get() {
    static SharedCredentials credentials;
    return credentials.valid_ ? &credentials.handle_ : nullptr;
  }

 private:
  SharedCredentials() { valid_ = acquireCurrent() || acquireOlder(); }
  ~SharedCredentials() {
    if (valid_) FreeCredentialsHandle(&handle_);
  }

  // Current systems offer TLS 1.3 through these credentials only. (Wine 8 takes them
  // but ignores their protocol list, and knows no TLS 1.3: the version is checked
  // again after the handshake.)
  bool acquireCurrent() {
    TLS_PARAMETERS parameters = {};
    parameters.grbitDisabledProtocols = ~kAllowedProtocols;
    SCH_CREDENTIALS credentials = {};
    credentials.dwVersion = SCH_CREDENTIALS_VERSION;
    credentials.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS | SCH_USE_STRONG_CRYPTO;
    credentials.cTlsParameters = 1;
    credentials.pTlsParameters = &parameters;
    return acquire(&credentials);
  }
  // ...older ones (and Wine) know only these.
  bool acquireOlder() {
    SCHANNEL_CRED credentials = {};
    credentials.dwVersion = SCHANNEL_CRED_VERSION;
    credentials.grbitEnabledProtocols = kAllowedProtocols;
    credentials.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS | SCH_USE_STRONG_CRYPTO;
    return acquire(&credentials);
  }
  bool acquire(void* credentials) {
    TimeStamp expiry;
    return AcquireCredentialsHandleA(nullptr, const_cast<char*>(UNISP_NAME_A), SECPKG_CRED_OUTBOUND,
                                     nullptr, credentials, nullptr, nullptr, &handle_, &expiry) == SEC_E_OK;
  }

  CredHandle handle_ = {};
  bool valid_ = false;
};

std::string handshakeReason(SECURITY_STATUS status) {
  switch (status) {
    case SEC_E_ALGORITHM_MISMATCH:
    case SEC_E_UNSUPPORTED_FUNCTION:
      return "the server offers neither TLS 1.2 nor TLS 1.3 with a cipher the system accepts";
    case SEC_E_ILLEGAL_MESSAGE:
    case SEC_E_MESSAGE_ALTERED:
    case SEC_E_DECRYPT_FAILURE:
    case SEC_E_INVALID_TOKEN:
      return "the server's answer is not valid TLS";
    default: {
      char text[64];
      std::snprintf(text, sizeof text, "Schannel error 0x%08lx", static_cast<unsigned long>(status));
      return text;
    }
  }
}

SecBuffer* bufferOfType(SecBuffer* buffers, int count, unsigned long type) {
  for (int i = 0; i < count; ++i)
    if (buffers[i].BufferType == type) return &buffers[i];
  return nullptr;
}

}  // namespace

TlsChannel::TlsChannel(ByteChannel& lower) : lower_(lower), context_(), incoming_(kReadRoom * 2) {}

TlsChannel::~TlsChannel() {
  if (haveContext_) DeleteSecurityContext(&context_);
}

bool TlsChannel::handshake(const std::string& serverName, DWORD idleLimitMs, std::string* reason) {
  serverName_ = serverName;
  idleLimitMs_ = idleLimitMs;
  if (!SharedCredentials::get()) {
    *reason = "the system offers neither TLS 1.2 nor TLS 1.3";
    return false;
  }
  if (exchangeTokens(false, reason) != SEC_E_OK) return false;
  if (QueryContextAttributesA(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_) != SEC_E_OK) {
    *reason = "the system gives no record sizes for the session";
    return false;
  }
  if (protocol().empty()) {
    *reason = "the server offers only a TLS version older than 1.2";
    return false;
  }
  return true;
}

// The handshake, or the messages the server sends about the session after it:
// tokens go back and forth until the session stands.
SECURITY_STATUS TlsChannel::exchangeTokens(bool needData, std::string* reason) {
  for (;;) {
    if (needData && !readMore(reason)) return SEC_E_INTERNAL_ERROR;
    const bool first = !haveContext_;
    SecBuffer in[2] = {{static_cast<unsigned long>(inEnd_ - inStart_), SECBUFFER_TOKEN, incoming_.data() + inStart_},
                       {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc inDescription = {SECBUFFER_VERSION, 2, in};
    SecBuffer out[2] = {{0, SECBUFFER_TOKEN, nullptr}, {0, SECBUFFER_ALERT, nullptr}};
    SecBufferDesc outDescription = {SECBUFFER_VERSION, 2, out};
    unsigned long granted = 0;
    SECURITY_STATUS status = InitializeSecurityContextA(
        SharedCredentials::get(), first ? nullptr : &context_, const_cast<char*>(serverName_.c_str()),
        kRequests, 0, 0, first ? nullptr : &inDescription, 0, first ? &context_ : nullptr, &outDescription,
        &granted, nullptr);
    if (first && (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED)) haveContext_ = true;
    // What the system wrote for the server goes out, an alert after a failure too.
    for (SecBuffer& token : out) {
      if (!token.pvBuffer) continue;
      int error = 0;
      if (token.cbBuffer > 0) lower_.sendAll(static_cast<const char*>(token.pvBuffer), token.cbBuffer, &error);
      FreeContextBuffer(token.pvBuffer);
    }
    if (status == SEC_E_INCOMPLETE_MESSAGE) {
      needData = true;
      continue;
    }
    if (status == SEC_I_INCOMPLETE_CREDENTIALS) {  // the server asks for a client certificate: none
      needData = false;
      continue;
    }
    if (!first) inStart_ = in[1].BufferType == SECBUFFER_EXTRA ? inEnd_ - in[1].cbBuffer : inEnd_;
    if (status == SEC_I_CONTINUE_NEEDED) {
      needData = inStart_ == inEnd_;
      continue;
    }
    needMore_ = inStart_ == inEnd_;
    if (status != SEC_E_OK) *reason = handshakeReason(status);
    return status;
  }
}

bool TlsChannel::readMore(std::string* reason) {
  makeRoom();
  if (inEnd_ - inStart_ >= kLargestHeld) {
    *reason = "the server's answer is not valid TLS";
    return false;
  }
  int error = 0;
  int got = readWithin(lower_, incoming_.data() + inEnd_, incoming_.size() - inEnd_, idleLimitMs_, &error);
  if (got > 0) {
    inEnd_ += static_cast<size_t>(got);
    return true;
  }
  char text[96];
  if (got == kClosed)
    std::snprintf(text, sizeof text, "the server closed the connection");
  else if (got == kNothingYet)
    std::snprintf(text, sizeof text, "the server did not answer within %lu seconds", idleLimitMs_ / 1000);
  else
    std::snprintf(text, sizeof text, "the connection failed (error %d)", error);
  *reason = text;
  return false;
}

// Keeps at least a socket read's room free after the held bytes.
void TlsChannel::makeRoom() {
  if (incoming_.size() - inEnd_ >= kReadRoom) return;
  if (inStart_ > 0) {
    std::memmove(incoming_.data(), incoming_.data() + inStart_, inEnd_ - inStart_);
    inEnd_ -= inStart_;
    inStart_ = 0;
  }
  if (incoming_.size() - inEnd_ < kReadRoom) incoming_.resize(inEnd_ + kReadRoom);
}

std::string TlsChannel::protocol() const {
  SecPkgContext_ConnectionInfo info = {};
  if (!haveContext_ ||
      QueryContextAttributesA(const_cast<CtxtHandle*>(&context_), SECPKG_ATTR_CONNECTION_INFO, &info) != SEC_E_OK)
    return "";
  if (info.dwProtocol & SP_PROT_TLS1_3) return "TLS 1.3";
  if (info.dwProtocol & SP_PROT_TLS1_2) return "TLS 1.2";
  return "";
}

PCCERT_CONTEXT TlsChannel::serverCertificate() const {
  PCCERT_CONTEXT certificate = nullptr;
  if (!haveContext_ || QueryContextAttributesA(const_cast<CtxtHandle*>(&context_),
                                               SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) != SEC_E_OK)
    return nullptr;
  return certificate;
}

void TlsChannel::shutdown() {
  if (!haveContext_ || ended_ || failure_ != SEC_E_OK) return;
  ended_ = true;
  DWORD kind = SCHANNEL_SHUTDOWN;
  SecBuffer control = {sizeof kind, SECBUFFER_TOKEN, &kind};
  SecBufferDesc controlDescription = {SECBUFFER_VERSION, 1, &control};
  if (ApplyControlToken(&context_, &controlDescription) != SEC_E_OK) return;
  SecBuffer out = {0, SECBUFFER_TOKEN, nullptr};
  SecBufferDesc outDescription = {SECBUFFER_VERSION, 1, &out};
  unsigned long granted = 0;
  SECURITY_STATUS status =
      InitializeSecurityContextA(SharedCredentials::get(), &context_, const_cast<char*>(serverName_.c_str()),
                                 kRequests, 0, 0, nullptr, 0, nullptr, &outDescription, &granted, nullptr);
  if (out.pvBuffer) {
    int error = 0;
    if ((status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED) && out.cbBuffer > 0)
      lower_.sendAll(static_cast<const char*>(out.pvBuffer), out.cbBuffer, &error);
    FreeContextBuffer(out.pvBuffer);
  }
}

size_t TlsChannel::sendAll(const char* data, size_t size, int* error) {
  const size_t largest = sizes_.cbMaximumMessage;
  outgoing_.resize(sizes_.cbHeader + largest + sizes_.cbTrailer);
  size_t sent = 0;
  while (sent < size) {
    const size_t piece = size - sent < largest ? size - sent : largest;
    char* header = outgoing_.data();
    char* body = header + sizes_.cbHeader;
    std::memcpy(body, data + sent, piece);
    SecBuffer buffers[4] = {{sizes_.cbHeader, SECBUFFER_STREAM_HEADER, header},
                            {static_cast<unsigned long>(piece), SECBUFFER_DATA, body},
                            {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, body + piece},
                            {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc description = {SECBUFFER_VERSION, 4, buffers};
    SECURITY_STATUS status = EncryptMessage(&context_, 0, &description, 0);
    if (status != SEC_E_OK) {
      *error = static_cast<int>(status);
      break;
    }
    // The record may come out shorter than the room reserved for it.
    const size_t record = buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer;
    std::memmove(header + buffers[0].cbBuffer, buffers[1].pvBuffer, buffers[1].cbBuffer);
    std::memmove(header + buffers[0].cbBuffer + buffers[1].cbBuffer, buffers[2].pvBuffer, buffers[2].cbBuffer);
    if (lower_.sendAll(header, record, error) != record) break;
    sent += piece;
  }
  return sent;
}

int TlsChannel::readSome(char* into, size_t room, int* error) {
  for (;;) {
    if (plainAt_ < plain_.size() || !needMore_) {
      int got = decryptInto(into, room, error);
      if (got != kNothingYet) return got;
    }
    if (failure_ != SEC_E_OK) {
      *error = static_cast<int>(failure_);
      return kFailed;
    }
    if (ended_) return kClosed;
    makeRoom();
    int got = lower_.readSome(incoming_.data() + inEnd_, incoming_.size() - inEnd_, error);
    if (got > 0) {
      inEnd_ += static_cast<size_t>(got);
      needMore_ = false;
      continue;
    }
    // A connection cut without close_notify ends the stream too: the HTTP layer
    // finds out whether the body came whole.
    if (got == kClosed) ended_ = true;
    return got;
  }
}

// Decrypted bytes left over first, then every whole record held, until the room is
// full: one socket read of 64 KiB gives the reader all of its records at once.
int TlsChannel::decryptInto(char* into, size_t room, int* error) {
  size_t given = 0;
  if (plainAt_ < plain_.size()) {
    given = plain_.size() - plainAt_ < room ? plain_.size() - plainAt_ : room;
    std::memcpy(into, plain_.data() + plainAt_, given);
    plainAt_ += given;
  }
  while (given < room && !needMore_ && !ended_ && failure_ == SEC_E_OK) {
    SecBuffer buffers[4] = {{static_cast<unsigned long>(inEnd_ - inStart_), SECBUFFER_DATA, incoming_.data() + inStart_},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc description = {SECBUFFER_VERSION, 4, buffers};
    SECURITY_STATUS status = DecryptMessage(&context_, &description, 0, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE) {
      needMore_ = true;
      break;
    }
    if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE && status != SEC_I_CONTEXT_EXPIRED) {
      failure_ = status;
      break;
    }
    const SecBuffer* data = bufferOfType(buffers, 4, SECBUFFER_DATA);
    const SecBuffer* extra = bufferOfType(buffers, 4, SECBUFFER_EXTRA);
    if (data && data->cbBuffer > 0) {
      const size_t take = data->cbBuffer < room - given ? data->cbBuffer : room - given;
      std::memcpy(into + given, data->pvBuffer, take);
      given += take;
      plain_.assign(static_cast<const char*>(data->pvBuffer) + take, data->cbBuffer - take);
      plainAt_ = 0;
    }
    inStart_ = extra ? inEnd_ - extra->cbBuffer : inEnd_;
    needMore_ = inStart_ == inEnd_;
    if (status == SEC_I_CONTEXT_EXPIRED) ended_ = true;  // close_notify
    if (status == SEC_I_RENEGOTIATE) {
      std::string reason;
      SECURITY_STATUS renewed = exchangeTokens(needMore_, &reason);
      if (renewed != SEC_E_OK) failure_ = renewed == SEC_E_INTERNAL_ERROR ? SEC_E_CONTEXT_EXPIRED : renewed;
    }
  }
  if (given > 0) return static_cast<int>(given);
  if (failure_ != SEC_E_OK) {
    *error = static_cast<int>(failure_);
    return kFailed;
  }
  return ended_ ? kClosed : kNothingYet;
}

int TlsChannel::waitReadable(const DWORD* limitMs) {
  if (plainAt_ < plain_.size() || !needMore_ || ended_ || failure_ != SEC_E_OK) return 1;
  return lower_.waitReadable(limitMs);
}
