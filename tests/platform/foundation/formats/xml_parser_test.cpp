// The event-driven XML reader: events in document order, errors with their place, aborting, and documents
// that try to expand declared entities or load anything from outside.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/foundation/formats/XMLParser.h"

namespace ns {

namespace {

// Writes every event as text, so that a test compares the whole walk at once.
class EventLog : public XMLParserDelegate {
 public:
  void parserDidStartDocument(XMLParser&) override { log += "start;"; }
  void parserDidEndDocument(XMLParser&) override { log += "end;"; }
  void didStartElement(XMLParser& parser, const std::string& name, const std::string& namespaceURI,
                       const std::map<std::string, std::string>& attributes) override {
    log += "<" + name + (namespaceURI.empty() ? "" : " {" + namespaceURI + "}");
    for (const auto& [attribute, value] : attributes) {
      log += " " + attribute + "=" + value;
    }
    log += ">";
    if (name == abortAt) {
      parser.abortParsing();
    }
  }
  void didEndElement(XMLParser&, const std::string& name, const std::string&) override {
    log += "</" + name + ">";
  }
  void foundCharacters(XMLParser&, const std::string& text) override { log += text; }
  void foundCDATA(XMLParser&, const Data& block) override { log += "[" + stringFromData(block) + "]"; }
  void parseErrorOccurred(XMLParser&, const Error& error) override {
    ++errors;
    log += "error " + std::to_string(error.code()) + ";";
  }

  std::string log;
  std::string abortAt;
  int errors = 0;
};

struct Parsed {
  bool ok = false;
  std::string log;
  int errors = 0;
  std::optional<Error> error;
};

Parsed parse(const std::string& document, const std::string& abortAt = "") {
  XMLParser parser(dataFromString(document));
  auto log = std::make_shared<EventLog>();
  log->abortAt = abortAt;
  parser.setDelegate(log);
  Parsed parsed;
  parsed.ok = parser.parse();
  parsed.log = log->log;
  parsed.errors = log->errors;
  parsed.error = parser.parserError();
  return parsed;
}

TEST(XMLParserTest, ElementsAttributesTextAndCDATAComeInDocumentOrder) {
  const Parsed parsed = parse(
      "<?xml version=\"1.0\"?><q:course xmlns:q=\"urn:quill\" id=\"7\"><title lang=\"zh\">代数 &amp; "
      "&#x51E0;&lt;</title><![CDATA[<raw>]]><empty/></q:course>");
  EXPECT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.log,
            "start;<q:course {urn:quill} id=7><title lang=zh>代数 & "
            "几<</title>[<raw>]<empty></empty></q:course>end;");
  EXPECT_EQ(parsed.error, std::nullopt);
}

TEST(XMLParserTest, AMalformedDocumentFailsOnceWithItsLineAndNothingAfter) {
  const Parsed parsed = parse("<a>\n<b></a><c/>");
  EXPECT_FALSE(parsed.ok);
  ASSERT_TRUE(parsed.error);
  EXPECT_EQ(parsed.error->domain(), kXMLParserErrorDomain);
  EXPECT_EQ(parsed.error->userInfo().at("NSXMLParserErrorLineNumber"), Value(2));
  EXPECT_EQ(parsed.errors, 1);
  EXPECT_EQ(parsed.log.find("<c>"), std::string::npos);
  EXPECT_FALSE(parse("").ok);
  EXPECT_FALSE(parse("<a>").ok);
}

TEST(XMLParserTest, ADelegateCanAbortTheParse) {
  const Parsed parsed = parse("<a><b/><c/></a>", "b");
  EXPECT_FALSE(parsed.ok);
  ASSERT_TRUE(parsed.error);
  EXPECT_EQ(parsed.error->code(), kXMLParserDelegateAbortedParseError);
  EXPECT_EQ(parsed.log.find("<c>"), std::string::npos);
}

// A reply must not make the parser grow without bound or read files: declared entities stay unexpanded.
TEST(XMLParserTest, DeclaredEntitiesAreNeverExpandedAndNothingOutsideIsLoaded) {
  std::string laughs = "<!DOCTYPE lolz [<!ENTITY lol \"lol\">";
  for (int level = 1; level <= 9; ++level) {
    const std::string previous = level == 1 ? "lol" : "lol" + std::to_string(level - 1);
    laughs += "<!ENTITY lol" + std::to_string(level) + " \"";
    for (int copy = 0; copy < 10; ++copy) {
      laughs += "&" + previous + ";";
    }
    laughs += "\">";
  }
  const Parsed bomb = parse(laughs + "]><lolz>&lol9;</lolz>");
  EXPECT_EQ(bomb.log.find("lollol"), std::string::npos);
  EXPECT_LT(bomb.log.size(), 200u);
  const Parsed defaults = parse("<!DOCTYPE r [<!ATTLIST e long CDATA \"" + std::string(1000, 'v') +
                                "\">]><r><e/><e id=\"1\"/></r>");
  EXPECT_TRUE(defaults.ok);
  EXPECT_EQ(defaults.log, "start;<r><e></e><e id=1></e></r>end;");

  const std::filesystem::path secret =
      std::filesystem::temp_directory_path() / ("xml-parser-secret-" + std::to_string(getpid()));
  std::ofstream(secret) << "TOP-SECRET";
  const Parsed external =
      parse("<!DOCTYPE r [<!ENTITY x SYSTEM \"file://" + secret.string() + "\">]><r>&x;</r>");
  const Parsed externalSubset = parse("<!DOCTYPE r SYSTEM \"file://" + secret.string() + "\"><r>text</r>");
  std::filesystem::remove(secret);
  EXPECT_EQ(external.log.find("TOP-SECRET"), std::string::npos);
  EXPECT_EQ(externalSubset.log.find("TOP-SECRET"), std::string::npos);
  EXPECT_TRUE(externalSubset.ok) << externalSubset.log;
}

}  // namespace

}  // namespace ns
