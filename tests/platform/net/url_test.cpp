// Parsing, components and RFC 3986 reference resolution, and strict percent-escaping and -decoding.

#include <gtest/gtest.h>

#include <array>

#include "platform/net/PercentEscaping.h"
#include "platform/net/URL.h"

namespace {

TEST(URLTest, KeepsTheTextAndSplitsItIntoComponents) {
  const std::string text = "https://user:pw@Example.com:8443/a/b%20c?x=1&y=%E4%B8%AD#frag";
  const std::optional<ns::URL> url = ns::URL::fromString(text);
  ASSERT_TRUE(url.has_value());
  EXPECT_EQ(url->absoluteString(), text);
  EXPECT_EQ(url->scheme(), "https");
  EXPECT_EQ(url->user(), "user");
  EXPECT_EQ(url->password(), "pw");
  EXPECT_EQ(url->host(), "Example.com");
  EXPECT_EQ(url->port(), 8443);
  EXPECT_EQ(url->path(), "/a/b%20c");
  EXPECT_EQ(url->query(), "x=1&y=%E4%B8%AD");
  EXPECT_EQ(url->fragment(), "frag");
  EXPECT_EQ(url->absoluteStringWithoutFragment(), text.substr(0, text.find('#')));
}

TEST(URLTest, TellsAnAbsentComponentFromAnEmptyOne) {
  const std::optional<ns::URL> bare = ns::URL::fromString("http://host");
  ASSERT_TRUE(bare.has_value());
  EXPECT_EQ(bare->path(), "");
  EXPECT_FALSE(bare->query().has_value());
  EXPECT_FALSE(bare->port().has_value());
  EXPECT_EQ(ns::URL::fromString("http://host/?")->query(), "");
  EXPECT_EQ(ns::URL::fromString("http://[::1]:80/")->host(), "::1");
  const std::optional<ns::URL> relative = ns::URL::fromString("/app/latest_ver");
  EXPECT_FALSE(relative->scheme().has_value());
  EXPECT_FALSE(relative->host().has_value());
  EXPECT_EQ(relative->absoluteString(), "/app/latest_ver");
}

// A port is digits only: a signed number is no port.
TEST(URLTest, RefusesTextThatIsNotAURL) {
  for (const std::string text : {"http://host/a b", "http://host/%zz", "http://host/%4", "http://host:99999/",
                                 "http://host:8x/", "http://host/\xe4\xb8\xad", "http://host/{x}", "a\"b",
                                 "http://host:-1/", "http://host:-0/", "http://host:+80/"}) {
    EXPECT_FALSE(ns::URL::fromString(text).has_value()) << text;
  }
  EXPECT_FALSE(ns::URL::fromString("a b", *ns::URL::fromString("http://host/")).has_value());
}

// The examples of RFC 3986 section 5.4, then bases with or without a path.
TEST(URLTest, ResolvesReferencesAsRFC3986Says) {
  const std::string rfc = "http://a/b/c/d;p?q";
  const std::vector<std::array<std::string, 3>> cases = {
      {"g:h", rfc, "g:h"},
      {"g", rfc, "http://a/b/c/g"},
      {"./g", rfc, "http://a/b/c/g"},
      {"g/", rfc, "http://a/b/c/g/"},
      {"/g", rfc, "http://a/g"},
      {"//g", rfc, "http://g"},
      {"?y", rfc, "http://a/b/c/d;p?y"},
      {"g?y", rfc, "http://a/b/c/g?y"},
      {"#s", rfc, "http://a/b/c/d;p?q#s"},
      {"g#s", rfc, "http://a/b/c/g#s"},
      {";x", rfc, "http://a/b/c/;x"},
      {"", rfc, "http://a/b/c/d;p?q"},
      {".", rfc, "http://a/b/c/"},
      {"..", rfc, "http://a/b/"},
      {"../g", rfc, "http://a/b/g"},
      {"../..", rfc, "http://a/"},
      {"../../../g", rfc, "http://a/g"},
      {"/./g", rfc, "http://a/g"},
      {"g.", rfc, "http://a/b/c/g."},
      {"..g", rfc, "http://a/b/c/..g"},
      {"./../g", rfc, "http://a/b/g"},
      {"g/./h", rfc, "http://a/b/c/g/h"},
      {"g/../h", rfc, "http://a/b/c/h"},
      {"g;x=1/../y", rfc, "http://a/b/c/y"},
      {"/app/latest_ver", "http://host:8080", "http://host:8080/app/latest_ver"},
      {"app/latest_ver", "http://host", "http://host/app/latest_ver"},
      {"x", "http://host/api/", "http://host/api/x"},
      {"/x", "http://host/api/", "http://host/x"},
      {"https://other/y", "http://host/api/", "https://other/y"}};
  for (const auto& [reference, base, expected] : cases) {
    const std::optional<ns::URL> result = ns::URL::fromString(reference, *ns::URL::fromString(base));
    ASSERT_TRUE(result.has_value()) << reference;
    EXPECT_EQ(result->absoluteString(), expected) << reference << " against " << base;
  }
}

// Removing dot segments can leave a path that starts with "//" in a URL without authority; its text must not
// read back with that path taken for an authority.
TEST(URLTest, AResolvedPathNeverTurnsIntoAnAuthority) {
  const std::optional<ns::URL> url = ns::URL::fromString("/.//x", *ns::URL::fromString("http:/a"));
  ASSERT_TRUE(url.has_value());
  EXPECT_FALSE(url->host().has_value());
  EXPECT_EQ(url->absoluteString(), "http:/.//x");
  const std::optional<ns::URL> reparsed = ns::URL::fromString(url->absoluteString());
  EXPECT_FALSE(reparsed->host().has_value());
  EXPECT_EQ(reparsed->path(), url->path());
}

TEST(PercentEscapingTest, KeepsLettersDigitsAndTheChosenPunctuationOnly) {
  EXPECT_EQ(ns::percentEscape("a b&c", ns::kURLUnreservedPunctuation), "a%20b%26c");
  EXPECT_EQ(ns::percentEscape("k[x].y~-_", "-._~[]"), "k[x].y~-_");
  EXPECT_EQ(ns::percentEscape("[v]", ns::kURLUnreservedPunctuation), "%5Bv%5D");
  EXPECT_EQ(ns::percentEscape(":/?&=;+!@#$()',*%", ns::kURLUnreservedPunctuation),
            "%3A%2F%3F%26%3D%3B%2B%21%40%23%24%28%29%27%2C%2A%25");
  EXPECT_EQ(ns::percentEscape("\xe4\xb8\xad", ""), "%E4%B8%AD");
  EXPECT_EQ(ns::percentEscape("\xd6\xd0", ""), "%D6%D0") << "bytes of any charset";
}

// '+' is the form decoder's business and refusing NUL the caller's; a broken escape is refused.
TEST(PercentDecodingTest, DecodesEscapesOfEitherCaseAndRefusesABrokenOne) {
  const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
      {"a%20b%2fc%2F", "a b/c/"},
      {"%E4%b8%AD", "\xe4\xb8\xad"},
      {"plain+text", "plain+text"},
      {"", ""},
      {"a%00b", std::string("a\0b", 3)},
      {"a%zz", {}},
      {"a%2", {}},
      {"%", {}},
      {"%%41", {}}};
  for (const auto& [text, decoded] : cases) {
    EXPECT_EQ(ns::percentDecode(text), decoded) << text;
  }
}

TEST(PercentDecodingTest, ReadsOnlyTheEscapeAtTheStart) {
  EXPECT_EQ(ns::leadingPercentEscape("%41BC"), 'A');
  for (const char* text : {"A%41", "%4", "%4g"}) {
    EXPECT_EQ(ns::leadingPercentEscape(text), std::nullopt) << text;
  }
}

}  // namespace
