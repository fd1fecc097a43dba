// The HTTP/1.1 client: GET requests over a fresh connection each, the response read
// until its body is complete or the server closes, new locations named by the server
// followed, and a final body in chunked transfer coding decoded. The path of an
// address given to setUrl or Get holds names as written and is percent-encoded on the
// way out; a location a server names is a URI already and goes out as the server
// wrote it. A body may also go to a sink as it arrives (fetchInto) instead of into
// memory.
#pragma once
#include <string>

#include "net/body_sink.h"
#include "net/http_request.h"
#include "net/socket.h"
#include "net/url.h"

class Http : public Socket {
 public:
  // A server naming one location after another is followed this many times at most;
  // the body of the last response is the result then.
  static const int kMaxLocations = 16;

  Http();
  ~Http() override;

  void setUrl(const std::string& text);
  void addHeader(const std::string& name, const std::string& value);
  // Each returns the body of the final response of the chain of locations.
  std::string Get();
  std::string Get(const std::string& address);
  // Like Get(address), without making a copy of the body: for callers that take it
  // with takeContent.
  void fetch(const std::string& address);
  // Like fetch, the body of the final response going to `sink` as it arrives: the
  // sink is handed the header block of that response only (those of the responses
  // that name a new location are read and followed without it). Returns normally when
  // the body arrived whole or the sink ended the receive; a transfer cut short raises
  // as fetch does.
  void fetchInto(const std::string& address, BodySink& sink);
  std::string getHeader() const;
  std::string getContent() const;
  // The body of the last response as a malloc'd block (at least one byte allocated)
  // that the caller frees; its length goes to *length. The response is given up.
  char* takeContent(size_t* length);

  const std::string& lastRequest() const { return request; }
  const Url& target() const { return url; }
  bool followRedirects;

 private:
  // How the path of the target is written: names as the caller gave them, or a URI
  // from a server.
  enum class PathForm { names, uri };
  // Hands the caller's sink the final response only.
  class FinalBodySink : public BodySink {
   public:
    FinalBodySink(Http& http, BodySink& sink) : http_(http), sink_(sink) {}
    Take headArrived(const std::string& headerBlock) override;
    bool bodyArrived(const char* data, size_t size) override { return sink_.bodyArrived(data, size); }

   private:
    Http& http_;
    BodySink& sink_;
  };

  void setTarget(const std::string& text, PathForm form);
  void requestUrl();
  void requestAddress(const std::string& address, PathForm form);
  void buildRequest();
  void perform();
  // True when a location was followed (the response is then that request's).
  bool followLocation();
  // Whether a response with this header block names a location that will be followed.
  bool willFollow(const std::string& headerBlock) const;
  // A body that went to a sink: whole, or the sink stopped it; otherwise raises.
  void checkStreamedBody() const;
  // The target with its path as it went out, for a relative location to build on.
  std::string addressAsSent() const;

  Url url;
  PathForm pathForm;
  std::string sentTarget;
  HeaderLines headers;
  bool urlSet;
  ResponseBuffer response;
  std::string request;
  std::string method;
  int locationsFollowed;
};
