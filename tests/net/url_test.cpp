#include "net/url.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

const char* const kInvalidUrl = "Url::extract() -> Error: Invalid URL";
const char* const kInvalidPort = "Url::extract() -> Error: Invalid port number";

// Assigns and returns the logic_error message, or "" when the text was accepted.
std::string refusalOf(Url& url, const std::string& text) {
  try {
    url = text;
  } catch (const std::logic_error& e) {
    return e.what();
  }
  return "";
}

void expectResetState(const Url& url) {
  EXPECT_FALSE(url.isValid());
  EXPECT_EQ(80, url.getPort());
  EXPECT_EQ("http://", url.getProtocol());
  EXPECT_EQ("unknown", url.getHost());
  EXPECT_EQ("unknown", url.getPath());
}

}  // namespace

TEST(Url, DefaultValueNamesNoHost) {
  Url url;
  expectResetState(url);
  EXPECT_EQ("unknown", url.getUrl());
  EXPECT_EQ("unknown", url.getHostPort());
}

TEST(Url, AddressWithoutSchemeGetsHttpInFront) {
  Url url;
  url = std::string("server/dir/file.txt");
  EXPECT_TRUE(url.isValid());
  EXPECT_EQ("http://", url.getProtocol());
  EXPECT_EQ("server", url.getHost());
  EXPECT_EQ(80, url.getPort());
  EXPECT_EQ("/dir/file.txt", url.getPath());
  EXPECT_EQ("http://server/dir/file.txt", url.getUrl());
}

TEST(Url, PortWithoutPathKeepsUrlAsWritten) {
  Url url;
  url = std::string("http://server:8080");
  EXPECT_EQ("server", url.getHost());
  EXPECT_EQ(8080, url.getPort());
  EXPECT_EQ("8080", url.getPortString());
  EXPECT_EQ("/", url.getPath());
  EXPECT_EQ("http://server:8080", url.getUrl());
  EXPECT_EQ("server:8080", url.getHostPort());
}

TEST(Url, PathKeepsQueryAndPort80IsLeftOutOfHostPort) {
  Url url;
  url = std::string("http://server:80/a?b=c");
  EXPECT_EQ(80, url.getPort());
  EXPECT_EQ("/a?b=c", url.getPath());
  EXPECT_EQ("server", url.getHostPort());
  EXPECT_EQ("http://server:80/a?b=c", url.getUrl());
}

TEST(Url, PathStartsAtFirstSlashAfterHost) {
  Url url;
  url = std::string("http://h.example/a/b//c:9?x=/y");
  EXPECT_EQ("h.example", url.getHost());
  EXPECT_EQ("/a/b//c:9?x=/y", url.getPath());
  EXPECT_EQ(80, url.getPort());  // a colon in the path is no port
}

TEST(Url, SchemeIsKeptAsWrittenWhateverItIs) {
  Url url;
  url = std::string("HTTP://Server/x");
  EXPECT_EQ("HTTP://", url.getProtocol());
  EXPECT_EQ("Server", url.getHost());
  EXPECT_EQ(80, url.getPort());
  EXPECT_EQ("HTTP://Server/x", url.getUrl());

  url = std::string("ftp://a.b/c://d");
  EXPECT_EQ("ftp://", url.getProtocol());
  EXPECT_EQ("a.b", url.getHost());
  EXPECT_EQ("/c://d", url.getPath());

  // A scheme name stands alone at the start: anything else before a "://" is host,
  // path or query.
  url = std::string("host:81/ok/5?next=http://x/");
  EXPECT_EQ("http://", url.getProtocol());
  EXPECT_EQ("host", url.getHost());
  EXPECT_EQ(81, url.getPort());
  EXPECT_EQ("/ok/5?next=http://x/", url.getPath());
  EXPECT_EQ(kInvalidPort, refusalOf(url, "://abc"));  // no scheme name: host ":"
  EXPECT_EQ(kInvalidPort, refusalOf(url, "1ab://x/"));
}

TEST(Url, ShortRestIsRefusedThreeCharactersAccepted) {
  Url url;
  EXPECT_EQ(kInvalidUrl, refusalOf(url, "http://ab"));
  EXPECT_FALSE(url.isValid());
  EXPECT_EQ(kInvalidUrl, refusalOf(url, "ab"));
  EXPECT_EQ(kInvalidUrl, refusalOf(url, "http://"));
  EXPECT_EQ(kInvalidUrl, refusalOf(url, "x://a"));

  EXPECT_EQ("", refusalOf(url, "http://abc"));
  EXPECT_TRUE(url.isValid());
  EXPECT_EQ("abc", url.getHost());
  EXPECT_EQ("/", url.getPath());
  EXPECT_EQ("http://abc", url.getUrl());

  EXPECT_EQ("", refusalOf(url, "a/b"));  // three characters, one of them the path
  EXPECT_EQ("a", url.getHost());
  EXPECT_EQ("/b", url.getPath());
}

TEST(Url, AddressWithoutHostIsRefused) {
  Url url;
  EXPECT_EQ(kInvalidUrl, refusalOf(url, "/dir/file.txt"));
  EXPECT_FALSE(url.isValid());
  EXPECT_EQ(kInvalidUrl, refusalOf(url, "http:///dir/file.txt"));
  EXPECT_FALSE(url.isValid());
}

TEST(Url, EmptyTextIsRefusedByAssignmentAndLeavesResetState) {
  Url url;
  url = std::string("http://server:8080/x");
  EXPECT_EQ("Url::operator=() -> Error: Invalid URL", refusalOf(url, ""));
  expectResetState(url);
}

TEST(Url, PortTextWithoutNumberIsRefused) {
  const char* texts[] = {"http://host:", "http://host:/x", "http://host:a", "http://host:-",
                         "http://host:+/p", "http://host: ", "http://host:-x", "http://host:+-1"};
  for (const char* text : texts) {
    Url url;
    EXPECT_EQ(kInvalidPort, refusalOf(url, text)) << text;
    EXPECT_FALSE(url.isValid()) << text;
  }
}

TEST(Url, PortIsReadLikeAStreamExtraction) {
  struct Case {
    const char* text;
    int port;
    const char* hostPort;
  };
  const Case cases[] = {
      {"http://host:8080abc/p", 8080, "host:8080"},
      {"http://host: 81", 81, "host:81"},
      {"http://host:\t82/", 82, "host:82"},
      {"http://host:+83", 83, "host:83"},
      {"http://host:0080", 80, "host"},
      {"http://host:0", 0, "host:0"},
      {"http://host:-1", -1, "host:-1"},
      {"http://host:-2147483648", INT_MIN, "host:-2147483648"},
      {"http://host:81:90/p", 81, "host:81"},
      {"http://host:00000000000000000000443", 443, "host:443"},
  };
  for (const Case& c : cases) {
    Url url;
    ASSERT_EQ("", refusalOf(url, c.text)) << c.text;
    EXPECT_TRUE(url.isValid()) << c.text;
    EXPECT_EQ(c.port, url.getPort()) << c.text;
    EXPECT_EQ("host", url.getHost()) << c.text;
    EXPECT_EQ(c.hostPort, url.getHostPort()) << c.text;
  }
}

TEST(Url, PortAgreesWithStandardStreamOnAwkwardTexts) {
  const char* portTexts[] = {"1",           "65535",       " \n\v\f\r\t7", "+0",         "-0",
                             "12a",         "2147483647",  "2147483648",  "-2147483649", "99999999999",
                             "18446744073709551616", "",   "+",           "-",          "--5",
                             "0x10",        "1e3",         ("\x01" "5"),    "٣"};
  for (const char* portText : portTexts) {
    std::istringstream stream(portText);
    int expected = 0;
    const bool streamReads = static_cast<bool>(stream >> expected);
    Url url;
    const std::string refusal = refusalOf(url, std::string("http://host:") + portText + "/p");
    if (!streamReads) {
      EXPECT_EQ(kInvalidPort, refusal) << "'" << portText << "'";
    } else if (expected > 65535) {
      EXPECT_EQ(kInvalidPort, refusal) << "'" << portText << "'";
      EXPECT_EQ("host", url.getHost()) << "host is cut before the range check";
    } else {
      EXPECT_EQ("", refusal) << "'" << portText << "'";
      EXPECT_EQ(expected, url.getPort()) << "'" << portText << "'";
    }
  }
}

TEST(Url, PortAboveTcpRangeIsRefusedAfterHostIsCut) {
  Url url;
  EXPECT_EQ("", refusalOf(url, "http://host:65535/"));
  EXPECT_EQ(65535, url.getPort());
  EXPECT_EQ("host:65535", url.getHostPort());

  EXPECT_EQ(kInvalidPort, refusalOf(url, "http://host:65536/"));
  EXPECT_FALSE(url.isValid());
  EXPECT_EQ("host", url.getHost());

  EXPECT_EQ(kInvalidPort, refusalOf(url, "http://host:2147483647"));
  EXPECT_EQ(kInvalidPort, refusalOf(url, "http://host:2147483648"));
  EXPECT_EQ(kInvalidPort, refusalOf(url, "http://host:-2147483649"));
}

TEST(Url, HttpsInAnyCaseIsSecureOnPort443UnlessItNamesOne) {
  Url url;
  url = std::string("HTTPS://host/p");
  EXPECT_TRUE(url.isSecure());
  EXPECT_EQ(443, url.getPort());
  EXPECT_EQ("host", url.getHostPort());
  url = std::string("https://host:80/p");
  EXPECT_EQ("host:80", url.getHostPort());
  url = std::string("http://host:443/p");
  EXPECT_FALSE(url.isSecure());
  EXPECT_EQ("host:443", url.getHostPort());
}

TEST(Url, EveryAssignmentStartsFromTheResetState) {
  Url url;
  url = std::string("https://first:8443/a");
  url = std::string("second/b");
  EXPECT_EQ("http://", url.getProtocol());  // the earlier scheme does not linger
  EXPECT_EQ(80, url.getPort());
  EXPECT_EQ("http://second/b", url.getUrl());
}

TEST(Url, AssignmentYieldsTheUpdatedValueAndCopiesAreIndependent) {
  Url url;
  Url yielded = (url = std::string("http://server:81/p"));
  EXPECT_EQ("server:81", yielded.getHostPort());
  EXPECT_TRUE(yielded.isValid());

  Url copy(url);
  url = std::string("other/q");
  EXPECT_EQ("server", copy.getHost());
  EXPECT_EQ(81, copy.getPort());
  EXPECT_EQ("/p", copy.getPath());
  EXPECT_EQ("http://server:81/p", copy.getUrl());
  EXPECT_TRUE(copy.isValid());

  Url assigned;
  assigned = copy;
  EXPECT_EQ("http://server:81/p", assigned.getUrl());
}

TEST(Url, ResetKeepsAddressTextButDropsItsParts) {
  Url url;
  url = std::string("http://server:81/p");
  url.reset();
  expectResetState(url);
}

TEST(Url, BytesAreNotDecodedOrFolded) {
  Url url;
  url = std::string("http://H\xe9st%41/%2F\xff");
  EXPECT_EQ("H\xe9st%41", url.getHost());
  EXPECT_EQ("/%2F\xff", url.getPath());
}
