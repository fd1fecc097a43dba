// Response splitting, location markers and resolution, request text, and the
// receive buffer: the platform-free parts of the HTTP client.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "net/byte_buffer.h"
#include "net/chunked_body.h"
#include "net/http_request.h"
#include "net/http_response.h"
#include "net/response_buffer.h"

namespace {

size_t headerOf(const std::string& response) {
  return headerBlockLength(response.data(), response.size());
}

std::string locationOf(const std::string& block) {
  std::string value;
  return findLocation(block, &value) ? value : "<none>";
}

TEST(HeaderBlock, EndsAfterTheFirstEmptyLine) {
  EXPECT_EQ(19u, headerOf("HTTP/1.1 200 OK\r\n\r\nbody\r\n\r\nmore"));
  EXPECT_EQ(4u, headerOf("\r\n\r\n"));
  EXPECT_EQ(4u, headerOf("\r\n\r\nbody"));
}

TEST(HeaderBlock, WithoutEmptyLineIsTheWholeResponseAndNoBody) {
  EXPECT_EQ(0u, headerOf(""));
  EXPECT_EQ(3u, headerOf("\r\n\r"));
  EXPECT_EQ(26u, headerOf("HTTP/1.1 200 OK\r\nbody text"));
  EXPECT_EQ(7u, headerOf("\n\n\r\n\r\r\n"));
}

TEST(HeaderBlock, BinaryBytesBeforeTheEmptyLineAreKept) {
  std::string response("A\0B\r\n\r\n\0C", 9);
  EXPECT_EQ(7u, headerOf(response));
}

TEST(Location, MarkersAreSearchedInTheirFixedOrder) {
  EXPECT_EQ("/b", locationOf("HTTP/1.1 302\r\nLocation: /a\r\nContent-Location: /b\r\n\r\n"));
  EXPECT_EQ("/a", locationOf("HTTP/1.1 302\r\nlocation: /b\r\nLocation: /a\r\n\r\n"));
  EXPECT_EQ("/c", locationOf("HTTP/1.1 302\r\nuri: /d\r\ncontent-location: /c\r\n\r\n"));
  EXPECT_EQ("/u", locationOf("HTTP/1.1 302\r\nuri: /l\r\nUri: /u\r\n\r\n"));
  EXPECT_EQ("/l", locationOf("HTTP/1.1 302\r\nuri: /l\r\n\r\n"));
}

TEST(Location, MarkersAreCaseSensitiveAndNeedTheirSpace) {
  EXPECT_EQ("<none>", locationOf("HTTP/1.1 302\r\nLOCATION: /a\r\nLocation:/b\r\n\r\n"));
  EXPECT_EQ("<none>", locationOf("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n"));
}

TEST(Location, MarkerInsideALongerNameCounts) {
  EXPECT_EQ("/x", locationOf("HTTP/1.1 200\r\nX-Old-Location: /x\r\n\r\n"));
}

TEST(Location, ValueRunsToTheNextLineEndOrTheBlockEnd) {
  EXPECT_EQ("", locationOf("HTTP/1.1 302\r\nLocation: \r\n\r\n"));
  EXPECT_EQ("/a b\tc", locationOf("HTTP/1.1 302\r\nLocation: /a b\tc\r\n\r\n"));
  EXPECT_EQ("/tail", locationOf("HTTP/1.1 302\r\nLocation: /tail"));
}

std::string refusalOf(const std::string& value) {
  try {
    return "resolved to " + resolveLocation("http://h/d/f", "h", value);
  } catch (const std::logic_error& error) {
    return error.what();
  }
}

TEST(Resolve, OnlyAValueBeginningWithHttpOrHttpsIsAWholeAddress) {
  EXPECT_EQ("http://other/x", resolveLocation("http://h/d/f", "h", "http://other/x"));
  EXPECT_EQ("HTTP://other/x", resolveLocation("http://h/d/f", "h", "HTTP://other/x"));
  EXPECT_EQ("HTTPS://other/x", resolveLocation("http://h/d/f", "h", "HTTPS://other/x"));
  // A query that holds an address is still relative.
  EXPECT_EQ("http://h/d/see?u=http://o/x", resolveLocation("http://h/d/f", "h", "see?u=http://o/x"));
  EXPECT_EQ("h/r?u=http://o/x", resolveLocation("http://h/d/f", "h", "/r?u=http://o/x"));
}

TEST(Resolve, AnotherProtocolIsRefusedNotTakenAsAPath) {
  const std::string refused = "Http::followLocation() -> Error: Unsupported protocol in location";
  for (const char* value : {"ftp://h/x", "httpx://h/", "svn+ssh://h/r", "mailto:a@h"})
    EXPECT_EQ(refused, refusalOf(value)) << value;
  // A colon after the first slash, or before any scheme letter, names no protocol.
  EXPECT_EQ("resolved to http://h/d/a/b:c", refusalOf("a/b:c"));
  EXPECT_EQ("resolved to http://h/d/./x:y", refusalOf("././x:y"));
}

TEST(Resolve, RootRelativeGoesToTheSameHostAndPort) {
  EXPECT_EQ("h:8080/x", resolveLocation("http://h:8080/d/f", "h:8080", "/x"));
  EXPECT_EQ("h/", resolveLocation("http://h/d/f", "h", "/"));
  // and stays on TLS
  EXPECT_EQ("https://h:8443/x", resolveLocation("Https://h:8443/d/f", "h:8443", "/x"));
}

TEST(Resolve, OnlyAStepFromHttpsDownToHttpLeavesTls) {
  EXPECT_TRUE(leavesTls("HTTPS://h/d", "http://h/x"));
  EXPECT_TRUE(leavesTls("https://h/d", "Http://h/x"));
  EXPECT_FALSE(leavesTls("https://h/d", "https://o/x"));
  EXPECT_FALSE(leavesTls("https://h/d", "/x"));
  EXPECT_FALSE(leavesTls("http://h/d", "http://o/x"));
}

TEST(Resolve, RelativeIsTakenFromTheDirectoryOfTheCurrentAddress) {
  EXPECT_EQ("http://h/d/a/b", resolveLocation("http://h/d/f", "h", "a/b"));
  EXPECT_EQ("http://h/d/a/b", resolveLocation("http://h/d/f", "h", "./a/b"));
  EXPECT_EQ("http://h/d/", resolveLocation("http://h/d/f", "h", ""));
  EXPECT_EQ("http://h/d/../up", resolveLocation("http://h/d/f", "h", "../up"));
  // Only one leading "./" is dropped.
  EXPECT_EQ("http://h/d/./x", resolveLocation("http://h/d/f", "h", "././x"));
  // The directory is the path's: the slashes of a query are no part of it.
  EXPECT_EQ("http://h/d/a", resolveLocation("http://h/d/f?next=http://o/x/y", "h", "a"));
}

TEST(Resolve, AnAddressWithoutPathTakesTheProtocolAsBase) {
  EXPECT_EQ("http://a/b", resolveLocation("http://server", "server", "a/b"));
  EXPECT_EQ("http://other", resolveLocation("http://server:81", "server:81", "./other"));
}

TEST(Resolve, NoSlashAtAllGivesTheBareValue) {
  EXPECT_EQ("x", resolveLocation("nothing", "h", "x"));
}

TEST(Request, LinesAreReplacedInPlaceAndKeptInFirstAddedOrder) {
  HeaderLines lines;
  putHeader(lines, "Host", "a");
  putHeader(lines, "Connection", "close");
  putHeader(lines, "Accept", "*/*");
  putHeader(lines, "Host", "b:81");
  ASSERT_EQ(3u, lines.size());
  EXPECT_EQ("Host: b:81\r\n", lines[0]);
  EXPECT_EQ("Connection: close\r\n", lines[1]);
  EXPECT_EQ("GET /p q HTTP/1.1\r\nHost: b:81\r\nConnection: close\r\nAccept: */*\r\n\r\n",
            requestText("GET", "/p q", lines));
}

TEST(Request, NamesMatchAsCaseSensitiveBytePrefixes) {
  HeaderLines lines;
  putHeader(lines, "Hostname", "x");
  putHeader(lines, "Host", "y");       // "Hostname: x" begins with "Host"
  putHeader(lines, "host", "z");       // case differs: a new line
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ("Host: y\r\n", lines[0]);
  EXPECT_EQ("host: z\r\n", lines[1]);
}

TEST(Request, NoHeadersGivesRequestLineAndEmptyLine) {
  EXPECT_EQ("GET / HTTP/1.1\r\n\r\n", requestText("GET", "/", HeaderLines()));
}

// Feeds `response` into a ResponseBuffer in reads of `piece` bytes (cycling through
// sizes when piece is 0), the way the receive loop does.
void feed(ResponseBuffer& buffer, const std::string& response, size_t piece) {
  size_t at = 0;
  for (size_t step = 1; at < response.size(); step = step * 7 % 5000 + 1) {
    size_t room = 0;
    char* into = buffer.prepare(piece ? piece : step, &room);
    ASSERT_GE(room, 1u);
    size_t n = std::min(room, response.size() - at);
    std::memcpy(into, response.data() + at, n);
    buffer.commit(n);
    at += n;
  }
}

TEST(Response, SplitsAtTheFirstEmptyLineWhateverTheReadSizes) {
  const std::string header = "HTTP/1.1 200 OK\r\nContent-Length: 12\r\n\r\n";
  const std::string body = "body\r\n\r\nmore";
  for (size_t piece : {size_t{1}, size_t{2}, size_t{3}, size_t{5}, size_t{65536}, size_t{0}}) {
    ResponseBuffer buffer;
    feed(buffer, header + body, piece);
    EXPECT_EQ(header, buffer.headerBlock()) << piece;
    EXPECT_EQ(body, buffer.body()) << piece;
    EXPECT_EQ(header.size() + body.size(), buffer.size());
  }
}

TEST(Response, WithoutEmptyLineAllIsHeaderBlock) {
  for (std::string response : {"HTTP/1.1 200 OK\r\nabc", "\r\n\r", "x"}) {
    ResponseBuffer buffer;
    feed(buffer, response, 1);
    EXPECT_EQ(response, buffer.headerBlock());
    EXPECT_EQ("", buffer.body());
  }
}

// Past the announced length nothing belongs to the body; without one it ends with the
// connection. (A chunked body's end: fuzz_chunked and the client's tests.)
TEST(Response, BodyEndsAtTheAnnouncedLengthOrElseWithTheConnection) {
  std::string big(300000, 'b');
  struct Case { const char* announced; size_t body; bool complete; } cases[] = {
      {"10", 10, true}, {"300000", 300000, true}, {"999999", 300000, false}, {"x", 300000, false},
      {"0", 0, true},   {"99999999999999999999999", 300000, false}};
  for (const Case& c : cases) {
    ResponseBuffer buffer;
    feed(buffer, std::string("HTTP/1.1 200 OK\r\nContent-Length: ") + c.announced + "\r\n\r\n" + big, 0);
    EXPECT_TRUE(buffer.body() == big.substr(0, c.body)) << c.announced;
    EXPECT_EQ(c.complete, buffer.complete()) << c.announced;
  }
}

TEST(Response, LargeAnnouncedBodyArrivesWholeBesideTheWarmer) {
  std::string big(9u << 20, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 131 + i / 4093);
  for (const std::string& announced : {std::to_string(big.size()), std::to_string(big.size() / 2),
                                       std::to_string(big.size() * 2)}) {
    ResponseBuffer buffer;
    feed(buffer, "HTTP/1.1 200 OK\r\nContent-Length: " + announced + "\r\n\r\n" + big, 65536);
    size_t length = 0;
    char* body = buffer.takeBody(&length);
    ASSERT_EQ(std::min<size_t>(big.size(), std::stoull(announced)), length) << announced;
    EXPECT_EQ(0, std::memcmp(body, big.data(), length)) << announced;
    std::free(body);
  }
  ResponseBuffer abandoned;  // destroyed while the warmer may still run
  feed(abandoned, "HTTP/1.1 200 OK\r\nContent-Length: 50000000\r\n\r\nabc", 0);
}

TEST(Response, TakenBodyIsTheBodyAloneAndLeavesTheBufferEmpty) {
  ResponseBuffer buffer;
  feed(buffer, std::string("HTTP/1.1 200 OK\r\n\r\nA\0B", 22), 4);
  size_t length = 0;
  char* body = buffer.takeBody(&length);
  ASSERT_NE(nullptr, body);
  EXPECT_EQ(std::string("A\0B", 3), std::string(body, length));
  std::free(body);
  EXPECT_TRUE(buffer.empty());
  EXPECT_EQ("", buffer.headerBlock());
}

TEST(Response, EmptyBodyIsStillABlock) {
  for (std::string response : {"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", "cut"}) {
    ResponseBuffer buffer;
    feed(buffer, response, 0);
    size_t length = 7;
    char* body = buffer.takeBody(&length);
    EXPECT_NE(nullptr, body);
    EXPECT_EQ(0u, length);
    std::free(body);
  }
}

TEST(Response, ClearForgetsTheSplit) {
  ResponseBuffer buffer;
  feed(buffer, "A\r\n\r\nB", 0);
  buffer.clear();
  feed(buffer, "C\r\n", 0);
  EXPECT_EQ("C\r\n", buffer.headerBlock());
  EXPECT_EQ("", buffer.body());
}

TEST(Response, AnnouncedBodyLengthReadsPlainDigitsOnly) {
  auto announced = [](const std::string& block) { return announcedBodyLength(block.data(), block.size()); };
  EXPECT_EQ(12u, announced("HTTP/1.1 200 OK\r\ncontent-LENGTH:  12\r\n\r\n"));
  EXPECT_EQ(5u, announced("HTTP/1.1 200 OK\r\nContent-Length:\t5x\r\n\r\n"));
  EXPECT_EQ(0u, announced("HTTP/1.1 200 OK\r\nContent-Length: x\r\n\r\n"));
  EXPECT_EQ(0u, announced("HTTP/1.1 200 OK\r\nX-Content-Length: 5\r\n\r\n"));
  EXPECT_EQ(0u, announced("HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999999\r\n\r\n"));
  EXPECT_EQ(0u, announced("HTTP/1.1 200 OK\r\nContent-Length: 2147483648000\r\n\r\n"));
}

// The decoded body, or "<malformed>".
std::string unchunked(const std::string& coded) {
  std::vector<char> bytes(coded.begin(), coded.end());  // exact size: the sanitizers see overreads
  size_t decoded = 0;
  if (!decodeChunkedBody(bytes.data(), bytes.size(), &decoded)) return "<malformed>";
  return std::string(bytes.data(), decoded);
}

TEST(Chunked, ChunksExtensionsAndTrailersGiveTheBodyAlone) {
  EXPECT_EQ("Wikipedia", unchunked("4\r\nWiki\r\n5\r\npedia\r\n0\r\n\r\n"));
  EXPECT_EQ("Wikipedia", unchunked("4;name=\"a;b\"\r\nWiki\r\n05 ; x\r\npedia\r\n0;last\r\n"
                                   "Expires: never\r\nX-Sum: 1\r\n\r\n"));
  EXPECT_EQ(std::string(26, 'z') + "\r\n", unchunked("1C\r\n" + std::string(26, 'z') + "\r\n\r\n0\r\n\r\n"));
  EXPECT_EQ("ab", unchunked("1\na\n1\nb\n0\n\n"));  // bare line feeds
  EXPECT_EQ("", unchunked("0\r\n\r\n"));
  EXPECT_EQ("a", unchunked("1\r\na\r\n0\r\n"));  // closed before the empty line: nothing is missing
}

TEST(Chunked, AnythingCutOrGarbledIsMalformed) {
  for (const char* coded : {"", "4\r\nWik", "4\r\nWiki", "4\r\nWiki\r\n", "4\r\nWikiX\r\n0\r\n\r\n",
                            "x\r\n", "\r\n0\r\n\r\n", "4x\r\nWiki\r\n0\r\n\r\n", "-1\r\n\r\n",
                            "10000000000000000\r\n", "FFFFFFFFFFFFFFFF\r\nab\r\n0\r\n\r\n", "4", "0"})
    EXPECT_EQ("<malformed>", unchunked(coded)) << coded;
}

TEST(Chunked, OnlyATransferEncodingNamingChunkedCounts) {
  auto chunked = [](const std::string& block) { return isChunkedTransfer(block.data(), block.size()); };
  EXPECT_TRUE(chunked("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"));
  EXPECT_TRUE(chunked("HTTP/1.1 200 OK\r\nA: b\r\ntransfer-encoding:gzip, Chunked\r\n\r\n"));
  EXPECT_FALSE(chunked("HTTP/1.1 200 OK\r\nTransfer-Encoding: identity\r\n\r\n"));
  EXPECT_FALSE(chunked("HTTP/1.1 200 OK\r\nX-Transfer-Encoding: chunked\r\n\r\n"));
  EXPECT_FALSE(chunked("HTTP/1.1 200 OK\r\nContent-Length: 7\r\n\r\nchunked"));
}

TEST(Buffer, ReadsIntoItsTailAndCommitsOnlyWhatFits) {
  ByteBuffer buffer;
  buffer.reserveExtra(10);
  ASSERT_GE(buffer.capacity(), 10u);
  std::memcpy(buffer.tail(), "abc", 3);
  buffer.commit(3);
  buffer.commit(buffer.capacity() + 100);  // a wrong count cannot pass the end
  EXPECT_EQ(buffer.capacity(), buffer.size());
  buffer.clear();
  EXPECT_TRUE(buffer.empty());
  buffer.append("xyz", 3);
  EXPECT_EQ(0, std::memcmp(buffer.data(), "xyz", 3));
}

TEST(Buffer, GrowthKeepsEveryByte) {
  ByteBuffer buffer;
  std::string expected;
  for (int i = 0; i < 5000; ++i) {
    std::string piece = std::to_string(i) + ",";
    buffer.append(piece.data(), piece.size());
    expected += piece;
  }
  ASSERT_EQ(expected.size(), buffer.size());
  EXPECT_EQ(0, std::memcmp(expected.data(), buffer.data(), expected.size()));
}

TEST(Buffer, DetachHandsOverTheBodyAloneAndEmptiesTheBuffer) {
  ByteBuffer buffer;
  buffer.append("HEAD\r\n\r\nbody", 12);
  size_t length = 0;
  char* body = buffer.detachFrom(8, &length);
  ASSERT_NE(nullptr, body);
  EXPECT_EQ(4u, length);
  EXPECT_EQ(0, std::memcmp(body, "body", 4));
  EXPECT_TRUE(buffer.empty());
  EXPECT_EQ(0u, buffer.capacity());
  std::free(body);
}

TEST(Buffer, AnEmptyBodyIsStillABlockToFree) {
  ByteBuffer buffer;
  buffer.append("HEAD\r\n\r\n", 8);
  size_t length = 99;
  char* body = buffer.detachFrom(8, &length);
  EXPECT_NE(nullptr, body);
  EXPECT_EQ(0u, length);
  std::free(body);

  ByteBuffer never;
  body = never.detachFrom(5, &length);
  EXPECT_NE(nullptr, body);
  EXPECT_EQ(0u, length);
  std::free(body);
}

TEST(Buffer, ReservingTooMuchFailsCleanly) {
  ByteBuffer buffer;
  buffer.append("a", 1);
  EXPECT_THROW(buffer.reserveExtra(static_cast<size_t>(-1)), std::bad_alloc);
  EXPECT_EQ(1u, buffer.size());
  EXPECT_EQ('a', buffer.data()[0]);
}

}  // namespace
