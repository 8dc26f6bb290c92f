#pragma once

// ns::XMLParser: an event-driven XML reader, as the platform's XML parser is: parse() walks the document
// once and tells its delegate about each element, its text and the first error. Built on libxml2.
//
// Only what the document itself holds is read: the five predefined entities and character references are
// replaced, but entities the document declares are never expanded (a reference to one is an error or is
// skipped), attribute defaults it declares are not added, and no external DTD or entity is loaded, from the
// network or from files.
//
// Errors use the domain kXMLParserErrorDomain with libxml2's error numbers as codes (which are the
// platform's), and kXMLParserDelegateAbortedParseError after abortParsing().
//
// Thread-safety: one thread at a time; the delegate is called on the thread that calls parse().

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/check/OneThreadAtATimeChecker.h"
#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Error.h"
#include "platform/foundation/values/Object.h"

namespace ns {

inline constexpr std::string_view kXMLParserErrorDomain = "NSXMLParserErrorDomain";
inline constexpr std::int64_t kXMLParserDelegateAbortedParseError = 512;

class XMLParser;

// What a parse reports. Every callback is optional.
class XMLParserDelegate {
 public:
  virtual ~XMLParserDelegate() = default;

  virtual void parserDidStartDocument(XMLParser&) {}
  virtual void parserDidEndDocument(XMLParser&) {}
  // `elementName` is the name as written (with its prefix), `namespaceURI` empty when it has none;
  // `attributes` maps each attribute's name as written to its value.
  virtual void didStartElement(XMLParser&, const std::string& /*elementName*/,
                               const std::string& /*namespaceURI*/,
                               const std::map<std::string, std::string>& /*attributes*/) {}
  virtual void didEndElement(XMLParser&, const std::string& /*elementName*/,
                             const std::string& /*namespaceURI*/) {}
  // Text between tags, in one or more pieces, whitespace included.
  virtual void foundCharacters(XMLParser&, const std::string& /*characters*/) {}
  virtual void foundCDATA(XMLParser&, const Data& /*block*/) {}
  // The first error; no event follows it.
  virtual void parseErrorOccurred(XMLParser&, const Error& /*error*/) {}
};

class XMLParser : public Object {
 public:
  // A parser over a copy of `data`, not started.
  explicit XMLParser(Data data);
  ~XMLParser() override;

  const Data& data() const { return data_; }

  // The delegate, held weakly.
  void setDelegate(std::weak_ptr<XMLParserDelegate> delegate) { delegate_ = std::move(delegate); }

  // Reads the whole document, calling the delegate. Returns true when the document was well-formed and
  // not aborted; otherwise false with parserError() set.
  bool parse();
  // Stops a parse in progress (called from a delegate callback); parse() then fails with
  // kXMLParserDelegateAbortedParseError.
  void abortParsing();
  // The error of the last parse, else std::nullopt.
  const std::optional<Error>& parserError() const { return parserError_; }

  // Called by libxml2's callbacks; not for callers.
  class Events;

 private:
  void fail(Error error);

  const Data data_;
  std::weak_ptr<XMLParserDelegate> delegate_;
  std::optional<Error> parserError_;
  // The libxml2 parser context while parse() runs.
  void* context_ = nullptr;
  bool aborted_ = false;
  OneThreadAtATimeChecker useChecker_;
};

}  // namespace ns
