// Http against the scripted loopback server: exact request bytes, response splitting,
// locations of every kind, the chain limit and progress totals per request.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "net/http.h"
#include "net/loopback_server.h"
// After <windows.h>, which the client's headers bring.
#include <psapi.h>
#include "support/scripted_message_box.h"

namespace {

class TestHttp : public Http {
 public:
  TestHttp() {
    connectTimeout = 5000;
    receiveTimeout = 3000;
    ownerWindow = nullptr;
  }
};

std::string messageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::logic_error& error) {
    return error.what();
  }
  return "<no exception>";
}

Reply send(const std::string& bytes) {
  Reply reply;
  reply.bytes = bytes;
  return reply;
}

std::string pathOf(const std::string& request) {
  size_t start = request.find(' ') + 1;
  return request.substr(start, request.find(" HTTP/1.1") - start);
}

// Answers by path: each entry maps a request path to the raw bytes sent back.
LoopbackServer::Script byPath(std::vector<std::pair<std::string, std::string>> routes) {
  return [routes](const std::string& request, int) {
    for (const auto& route : routes)
      if (pathOf(request) == route.first) return send(route.second);
    return send("HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found");
  };
}

std::string get(const std::string& address, Http& http) { return http.Get(address); }

TEST(HttpRequest, SendsExactlyRequestLineHostConnectionAndEmptyLine) {
  LoopbackServer server(byPath({{"/dir/file.bin", LoopbackServer::response("data")}}));
  TestHttp http;
  EXPECT_EQ("data", http.Get("http://" + server.hostPort() + "/dir/file.bin"));
  ASSERT_EQ(1u, server.requests().size());
  EXPECT_EQ("GET /dir/file.bin HTTP/1.1\r\nHost: " + server.hostPort() +
                "\r\nConnection: close\r\n\r\n",
            server.requests()[0]);
  EXPECT_EQ(server.requests()[0], http.lastRequest());
}

TEST(HttpRequest, ASecondRequestCarriesOneHostAndOneConnectionLine) {
  LoopbackServer first(byPath({{"/a", LoopbackServer::response("1")}}));
  LoopbackServer second(byPath({{"/b", LoopbackServer::response("2")}}));
  TestHttp http;
  http.addHeader("Accept", "*/*");
  EXPECT_EQ("1", http.Get("http://" + first.hostPort() + "/a"));
  EXPECT_EQ("2", http.Get(second.hostPort() + "/b"));
  ASSERT_EQ(1u, second.requests().size());
  EXPECT_EQ("GET /b HTTP/1.1\r\nAccept: */*\r\nHost: " + second.hostPort() +
                "\r\nConnection: close\r\n\r\n",
            second.requests()[0]);
}

TEST(HttpRequest, AddressWithoutPathAsksForTheRoot) {
  LoopbackServer server(byPath({{"/", LoopbackServer::response("root")}}));
  TestHttp http;
  EXPECT_EQ("root", http.Get("http://" + server.hostPort()));
  EXPECT_EQ("GET / HTTP/1.1\r\nHost: " + server.hostPort() + "\r\nConnection: close\r\n\r\n",
            server.requests()[0]);
}

TEST(HttpRequest, AbsolutePathGoesToTheCurrentHostAndPort) {
  LoopbackServer server(byPath({{"/first", LoopbackServer::response("1")},
                                {"/x", LoopbackServer::response("x")}}));
  TestHttp http;
  http.Get(server.hostPort() + "/first");
  EXPECT_EQ("x", http.Get("/x"));
  EXPECT_EQ("http://" + server.hostPort() + "/x", http.target().getUrl());
}

TEST(HttpRequest, RefusalsNameTheirOperation) {
  TestHttp http;
  EXPECT_EQ("Http::Get() -> Error: URL unspecified", messageOf([&] { http.Get(); }));
  EXPECT_EQ("Http::Get() -> Error: URL unspecified", messageOf([&] { http.Get(""); }));
  EXPECT_EQ("Url::extract() -> Error: Invalid URL", messageOf([&] { http.Get("/x"); }));
  EXPECT_EQ("Http::addHeader() -> Error: Invalid header",
            messageOf([&] { http.addHeader("", "v"); }));
  EXPECT_EQ("Http::addHeader() -> Error: Invalid header",
            messageOf([&] { http.addHeader("Name", ""); }));
  EXPECT_EQ("Url::extract() -> Error: Invalid port number",
            messageOf([&] { http.Get("http://127.0.0.1:99999/"); }));
}

TEST(HttpRequest, ARefusedAddressLeavesNoTarget) {
  TestHttp http;
  http.setUrl("http://127.0.0.1:1/x");
  EXPECT_EQ("Url::extract() -> Error: Invalid URL", messageOf([&] { http.setUrl("http://ab"); }));
  EXPECT_EQ("Http::Get() -> Error: URL unspecified", messageOf([&] { http.Get(); }));
  EXPECT_EQ("Url::extract() -> Error: Invalid URL", messageOf([&] { http.Get("/relative"); }));
}

TEST(HttpResponse, BodyWithAndWithoutContentLength) {
  LoopbackServer server(byPath({
      {"/with", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello"},
      {"/without", "HTTP/1.1 200 OK\r\n\r\nuntil\r\n\r\nclose"},
      {"/empty", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"},
  }));
  TestHttp http;
  EXPECT_EQ("hello", http.Get(server.hostPort() + "/with"));
  EXPECT_EQ("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n", http.getHeader());
  EXPECT_EQ("until\r\n\r\nclose", http.Get(server.hostPort() + "/without"));
  EXPECT_EQ("", http.Get(server.hostPort() + "/empty"));
  EXPECT_EQ("", http.getContent());
}

// Without an end at the body, the receive limit would end these with no data at all.
TEST(HttpResponse, ABodyEndsAtItsLengthOrLastChunkWhileTheServerKeepsTheConnection) {
  LoopbackServer server([](const std::string& request, int) {
    Reply reply = LoopbackServer::stalling()(request, 0);
    reply.bytes = pathOf(request) == "/chunked"
                      ? "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n"
                      : "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 5\r\n\r\nhello, and more";
    return reply;
  });
  TestHttp http;
  EXPECT_EQ("hello", http.Get(server.hostPort() + "/length"));
  EXPECT_EQ("hello", http.Get(server.hostPort() + "/chunked"));
}

TEST(HttpResponse, ErrorPageIsReturnedAsBody) {
  LoopbackServer server(byPath({}));
  TestHttp http;
  EXPECT_EQ("not found", http.Get(server.hostPort() + "/missing"));
}

TEST(HttpResponse, ChunkedBodyIsDecodedWhileProgressCountsRawBytes) {
  const std::string head = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
  const std::string big(100000, 'w');
  const std::string chunked = "4;x=1\r\nWiki\r\n186a0\r\n" + big + "\r\n0\r\nTrailer: t\r\n\r\n";
  LoopbackServer server(byPath({{"/c", head + chunked}, {"/cut", head + "5\r\npedia\r\n"}}));
  TestHttp http;
  std::vector<int> totals;
  http.progressContext = &totals;
  http.progressCallback = [](void* context, int64_t total, int) {
    static_cast<std::vector<int>*>(context)->push_back(total);
  };
  EXPECT_TRUE(http.Get(server.hostPort() + "/c") == "Wiki" + big);
  ASSERT_FALSE(totals.empty());
  EXPECT_EQ(static_cast<int>(head.size() + chunked.size()), totals.back());
  // A body cut before its last chunk is not the file: the request fails.
  EXPECT_EQ("Http::perform() -> Error: Malformed chunked body",
            messageOf([&] { get(server.hostPort() + "/cut", http); }));
}

// Private memory the process has committed, summed over its address space.
long long committedPrivateBytes() {
  long long total = 0;
  MEMORY_BASIC_INFORMATION region;
  for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
       at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += static_cast<long long>(region.RegionSize);
  }
  return total;
}

long long workingSetBytes() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<long long>(counters.WorkingSetSize);
}

TEST(HttpResponse, AnAnnouncedGigabyteTakesMemoryOnlyForWhatArrives) {
  const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 1073741824\r\n\r\n";
  LoopbackServer server([&](const std::string&, int) {
    Reply reply = send(head + "abc");
    reply.pieceSize = static_cast<int>(head.size()) + 2;  // "ab", a silence, then "c" and the close
    reply.pauseMs = 1000;
    return reply;
  });
  const long long committed = committedPrivateBytes();
  const long long working = workingSetBytes();
  TestHttp http;
  std::string failure;
  std::thread client([&] { failure = messageOf([&] { http.fetch(server.hostPort() + "/big"); }); });
  Sleep(700);  // "ab" has arrived; the client waits for more
  const long long committedMeanwhile = committedPrivateBytes() - committed;
  const long long workingMeanwhile = workingSetBytes() - working;
  client.join();
  EXPECT_LT(committedMeanwhile, 32ll << 20);
  EXPECT_LT(workingMeanwhile, 32ll << 20);
  // Three bytes of an announced gigabyte: the transfer broke off.
  EXPECT_EQ("Http::perform() -> Error: Connection closed before the whole body", failure);
}

TEST(HttpResponse, ABodyShorterThanAnnouncedFailsAndAWholeOneDoesNot) {
  LoopbackServer server(byPath({{"/cut", "HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nabc"},
                                {"/whole", "HTTP/1.1 200 OK\r\ncontent-length:  3\r\n\r\nabc"},
                                {"/longer", "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nabc"}}));
  TestHttp http;
  EXPECT_EQ("Http::perform() -> Error: Connection closed before the whole body",
            messageOf([&] { http.Get(server.hostPort() + "/cut"); }));
  EXPECT_EQ("abc", http.Get(server.hostPort() + "/whole"));
  EXPECT_EQ("ab", http.Get(server.hostPort() + "/longer"));  // the rest is no part of it
}

TEST(HttpResponse, WithoutEmptyLineEverythingIsHeaderAndTheBodyIsEmpty) {
  LoopbackServer server(byPath({{"/cut", "HTTP/1.1 200 OK\r\nContent-Length: 9\r\nabc"}}));
  TestHttp http;
  EXPECT_EQ("", http.Get(server.hostPort() + "/cut"));
  EXPECT_EQ("HTTP/1.1 200 OK\r\nContent-Length: 9\r\nabc", http.getHeader());
}

TEST(HttpResponse, NoDataNamesTheStepThatFoundIt) {
  LoopbackServer server([](const std::string&, int) { return send(""); });
  TestHttp http;
  EXPECT_EQ("Http::getHeader() -> Error: No data received",
            messageOf([&] { get(server.hostPort() + "/", http); }));
  http.followRedirects = false;
  EXPECT_EQ("Http::getContent() -> Error: No data received",
            messageOf([&] { get(server.hostPort() + "/", http); }));
  size_t length = 0;
  EXPECT_THROW(http.takeContent(&length), std::logic_error);
}

TEST(HttpResponse, SilentServerEndsAsNoData) {
  LoopbackServer server(LoopbackServer::stalling());
  TestHttp http;
  http.receiveTimeout = 300;
  EXPECT_EQ("Http::getHeader() -> Error: No data received",
            messageOf([&] { get(server.hostPort() + "/", http); }));
}

TEST(HttpResponse, TakenContentIsTheBodyAlone) {
  LoopbackServer server(byPath({{"/t", LoopbackServer::response(std::string("a\0b", 3))}}));
  TestHttp http;
  http.fetch(server.hostPort() + "/t");
  size_t length = 0;
  char* body = http.takeContent(&length);
  ASSERT_EQ(3u, length);
  EXPECT_EQ(std::string("a\0b", 3), std::string(body, length));
  std::free(body);
  EXPECT_EQ("Http::getContent() -> Error: No data received",
            messageOf([&] { http.getContent(); }));
}

std::string redirect(const std::string& header, const std::string& value) {
  return "HTTP/1.1 302 Found\r\n" + header + ": " + value + "\r\nContent-Length: 5\r\n\r\nmoved";
}

// A path of names goes out with every byte but the unreserved ones and "/" escaped; a
// location a server names is a URI already and keeps its escapes and its query.
TEST(HttpRequest, NamesArePercentEncodedAndALocationKeepsItsQuery) {
  LoopbackServer server(byPath({{"/a%20b/%2541%3Fx%3D%01%E9%23%5B%5D~-._", redirect("Location", "q%20r?s=/t u#f")},
                                {"/a%20b/q%20r?s=/t%20u", LoopbackServer::response("done")}}));
  TestHttp http;
  EXPECT_EQ("done", http.Get(server.hostPort() + "/a b/%41?x=\x01\xe9#[]~-._"));
}

TEST(HttpLocation, AbsoluteRootRelativeRelativeAndDotRelative) {
  LoopbackServer target(byPath({{"/final", LoopbackServer::response("done")}}));
  LoopbackServer server(byPath({
      {"/abs", redirect("Location", "http://" + target.hostPort() + "/final")},
      {"/root", redirect("Location", "/d/e/rel")},
      {"/d/e/rel", redirect("location", "sub/dot")},
      {"/d/e/sub/dot", redirect("Uri", "./last")},
      {"/d/e/sub/last", LoopbackServer::response("end")},
  }));
  TestHttp http;
  EXPECT_EQ("done", http.Get(server.hostPort() + "/abs"));
  EXPECT_EQ("GET /final HTTP/1.1\r\nHost: " + target.hostPort() + "\r\nConnection: close\r\n\r\n",
            target.requests()[0]);
  EXPECT_EQ("end", http.Get(server.hostPort() + "/root"));
  std::vector<std::string> paths;
  for (const std::string& request : server.requests()) paths.push_back(pathOf(request));
  EXPECT_EQ((std::vector<std::string>{"/abs", "/root", "/d/e/rel", "/d/e/sub/dot",
                                      "/d/e/sub/last"}),
            paths);
  EXPECT_EQ("end", http.getContent());  // the last response of the chain
}

TEST(HttpLocation, AnAddressInTheQueryOfARelativeLocationStaysOnTheSameHost) {
  LoopbackServer server(byPath({{"/d/start", redirect("Location", "/ok/5?next=http://x/")},
                                {"/ok/5?next=http://x/", redirect("Location", "six?next=http://x/z")},
                                {"/ok/six?next=http://x/z", LoopbackServer::response("same host")}}));
  TestHttp http;
  EXPECT_EQ("same host", http.Get(server.hostPort() + "/d/start"));
}

TEST(HttpLocation, ContentLocationWinsWhateverTheOrder) {
  LoopbackServer server(byPath({
      {"/start", "HTTP/1.1 301\r\nLocation: /loc\r\nContent-Location: /cl\r\n\r\n"},
      {"/cl", LoopbackServer::response("content-location")},
      {"/loc", LoopbackServer::response("location")},
  }));
  TestHttp http;
  EXPECT_EQ("content-location", http.Get(server.hostPort() + "/start"));
}

TEST(HttpLocation, NotFollowedWhenSwitchedOff) {
  LoopbackServer server(byPath({{"/a", redirect("Location", "/b")}}));
  TestHttp http;
  http.followRedirects = false;
  EXPECT_EQ("moved", http.Get(server.hostPort() + "/a"));
  EXPECT_EQ(1u, server.requests().size());
}

TEST(HttpLocation, ASelfNamingServerIsFollowedToTheLimitThenItsBodyReturned) {
  int served = 0;
  LoopbackServer server([&](const std::string&, int index) {
    served = index + 1;
    return send("HTTP/1.1 200 OK\r\nContent-Location: /self\r\nContent-Length: 6\r\n\r\nbody" +
                std::to_string(index % 10) + "!");
  });
  TestHttp http;
  std::string body = http.Get(server.hostPort() + "/self");
  EXPECT_EQ(1 + Http::kMaxLocations, server.connections());
  EXPECT_EQ("body" + std::to_string(Http::kMaxLocations % 10) + "!", body);
  // A new request starts a new chain with the full allowance.
  http.Get(server.hostPort() + "/self");
  EXPECT_EQ(2 * (1 + Http::kMaxLocations), server.connections());
  EXPECT_EQ(2 * (1 + Http::kMaxLocations), served);
}

TEST(HttpLocation, RefusedLocationRaisesTheUrlMessage) {
  LoopbackServer server(byPath({{"/a", redirect("Location", "http://")}}));
  TestHttp http;
  EXPECT_EQ("Url::extract() -> Error: Invalid URL",
            messageOf([&] { get(server.hostPort() + "/a", http); }));
}

TEST(HttpLocation, AnotherProtocolEndsTheRequestWithoutASecondOne) {
  LoopbackServer server(byPath({{"/a", redirect("Location", "ftp://" + std::string("h/x"))}}));
  TestHttp http;
  EXPECT_EQ("Http::followLocation() -> Error: Unsupported protocol in location",
            messageOf([&] { get(server.hostPort() + "/a", http); }));
  EXPECT_EQ(1, server.connections());
}

// Splits the reports into runs: a run starts where the total equals its chunk (a
// count that started again from 0); keeps the last total of each run.
struct Totals {
  std::vector<int> runEnds;
  bool consistent = true;
  static void record(void* context, int64_t total, int chunk) {
    Totals* self = static_cast<Totals*>(context);
    if (total == chunk) {
      self->runEnds.push_back(total);
    } else if (self->runEnds.empty() || total != self->runEnds.back() + chunk) {
      self->consistent = false;
    } else {
      self->runEnds.back() = total;
    }
  }
};

TEST(HttpProgress, TotalsRestartForEveryRequestOfAChain) {
  const std::string first = redirect("Location", "/next");
  const std::string second = LoopbackServer::response(std::string(200000, 'z'));
  LoopbackServer server(byPath({{"/start", first}, {"/next", second}}));
  TestHttp http;
  Totals totals;
  http.progressCallback = Totals::record;
  http.progressContext = &totals;
  http.Get(server.hostPort() + "/start");
  // The first run ends at the first response's length, the second starts afresh.
  EXPECT_TRUE(totals.consistent);
  EXPECT_EQ((std::vector<int>{static_cast<int>(first.size()), static_cast<int>(second.size())}),
            totals.runEnds);
}

TEST(HttpTransport, UnknownHostAndRefusedConnection) {
  ScriptedMessageBoxes boxes;
  boxes.answer({IDOK});
  TestHttp http;
  EXPECT_EQ("Socket::resolveHostname() -> Error: Unknown host 'no-such-host.invalid'",
            messageOf([&] { get("http://no-such-host.invalid/x", http); }));
  EXPECT_EQ(0u, boxes.count());
  EXPECT_EQ("Socket::connect() -> Error: Connection asyncfailed",
            messageOf([&] { get("127.0.0.1:" + std::to_string(closedLoopbackPort()) + "/", http); }));
  ASSERT_EQ(1u, boxes.count());
  EXPECT_EQ("Can't connect to site", boxes.boxes()[0].text);
}

}  // namespace
