#include "net/http.h"

#include <stdexcept>

#include "net/connection_notes.h"
#include "net/http_response.h"
#include "net/request_target.h"
#include "services/message_box.h"

namespace {
const char* const kNoDataForHeader = "Http::getHeader() -> Error: No data received";
const char* const kNoDataForContent = "Http::getContent() -> Error: No data received";
}  // namespace

Http::Http()
    : followRedirects(true), pathForm(PathForm::names), urlSet(false), locationsFollowed(0) {}

Http::~Http() = default;

void Http::setUrl(const std::string& text) { setTarget(text, PathForm::names); }

void Http::setTarget(const std::string& text, PathForm form) {
  // Cleared first: a refused address leaves `url` reset, which names no target.
  urlSet = false;
  pathForm = form;
  if (text.empty()) return;
  url = text;
  urlSet = url.isValid();
}

void Http::addHeader(const std::string& name, const std::string& value) {
  if (name.empty() || value.empty())
    throw std::logic_error("Http::addHeader() -> Error: Invalid header");
  putHeader(headers, name, value);
}

std::string Http::Get() {
  locationsFollowed = 0;
  requestUrl();
  return getContent();
}

std::string Http::Get(const std::string& address) {
  fetch(address);
  return getContent();
}

void Http::fetch(const std::string& address) {
  locationsFollowed = 0;
  requestAddress(address, PathForm::names);
}

void Http::fetchInto(const std::string& address, BodySink& sink) {
  FinalBodySink finalBody(*this, sink);
  response.streamBodiesTo(&finalBody);
  try {
    fetch(address);
  } catch (...) {
    response.streamBodiesTo(nullptr);
    throw;
  }
  response.streamBodiesTo(nullptr);
}

BodySink::Take Http::FinalBodySink::headArrived(const std::string& headerBlock) {
  return http_.willFollow(headerBlock) ? Take::skip : sink_.headArrived(headerBlock);
}

bool Http::willFollow(const std::string& headerBlock) const {
  std::string value;
  return followRedirects && locationsFollowed < kMaxLocations && findLocation(headerBlock, &value);
}

void Http::requestAddress(const std::string& address, PathForm form) {
  if (address.empty()) throw std::logic_error("Http::Get() -> Error: URL unspecified");
  if (address[0] == '/' && urlSet)
    setTarget((url.isSecure() ? "https://" : "http://") + url.getHostPort() + address, form);
  else
    setTarget(address, form);
  requestUrl();
}

void Http::requestUrl() {
  if (!urlSet) throw std::logic_error("Http::Get() -> Error: URL unspecified");
  method = "GET";
  perform();
}

void Http::buildRequest() {
  addHeader("Host", url.getHostPort());
  addHeader("Connection", "close");
  sentTarget = pathForm == PathForm::names ? targetForNames(url.getPath()) : targetForUri(url.getPath());
  // Through a proxy, plain HTTP names the whole address (absolute form).
  const std::string target = sendsWholeAddress() ? "http://" + url.getHostPort() + sentTarget : sentTarget;
  request = requestText(method, target, headers);
}

// One exchange on a fresh connection; the body stays in `response` until asked for.
// The request is built once the way to the server is known.
void Http::perform() {
  openTo(url);
  buildRequest();
  Socket::send(request);
  receive(response);
  close();
  if (followRedirects && followLocation()) return;
  if (response.streaming()) {
    checkStreamedBody();
    return;
  }
  // Only the final body is decoded: the body of a response that names a new location
  // is never used.
  if (!response.decodeTransferCoding())
    throw std::logic_error("Http::perform() -> Error: Malformed chunked body");
  // A body shorter than announced is a transfer that broke off, not a file.
  if (response.bodyCutShort())
    throw std::logic_error("Http::perform() -> Error: Connection closed before the whole body");
}

void Http::checkStreamedBody() const {
  if (response.empty()) throw std::logic_error(kNoDataForContent);
  if (response.stoppedBySink() || response.streamedWhole()) return;
  if (response.malformedCoding()) throw std::logic_error("Http::perform() -> Error: Malformed chunked body");
  throw std::logic_error("Http::perform() -> Error: Connection closed before the whole body");
}

bool Http::followLocation() {
  const std::string head = getHeader();
  if (!willFollow(head)) return false;
  std::string value;
  findLocation(head, &value);
  if (leavesTls(url.getUrl(), value)) {
    const std::string text = "Redirection from https:// down to http:// refused: " + value;
    showError(ownerWindow, "Redirection", text.c_str());
    noteConnection(ConnectionNote::refused, text);
    throw std::logic_error("Http::followLocation() -> Error: " + text);
  }
  ++locationsFollowed;
  requestAddress(resolveLocation(addressAsSent(), url.getHostPort(), value), PathForm::uri);
  return true;
}

std::string Http::addressAsSent() const {
  const std::string whole = url.getUrl();
  const std::string path = url.getPath();
  // Written without a path, the address stays as it is: a relative location then
  // builds on its protocol alone.
  if (whole.size() < path.size() || whole.compare(whole.size() - path.size(), path.size(), path) != 0)
    return whole;
  return whole.substr(0, whole.size() - path.size()) + sentTarget;
}

std::string Http::getHeader() const {
  if (response.empty()) throw std::logic_error(kNoDataForHeader);
  return response.headerBlock();
}

std::string Http::getContent() const {
  if (response.empty()) throw std::logic_error(kNoDataForContent);
  return response.body();
}

char* Http::takeContent(size_t* length) {
  if (response.empty()) throw std::logic_error(kNoDataForContent);
  return response.takeBody(length);
}
