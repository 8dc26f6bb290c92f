#include "platform/foundation/formats/XMLParser.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <climits>
#include <mutex>

#include "platform/foundation/check/Check.h"

namespace ns {

namespace {

std::string text(const xmlChar* characters) {
  return characters == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(characters));
}

std::string text(const xmlChar* characters, int length) {
  return std::string(reinterpret_cast<const char*>(characters), static_cast<std::size_t>(length));
}

std::string qualifiedName(const xmlChar* prefix, const xmlChar* localName) {
  return prefix == nullptr ? text(localName) : text(prefix) + ":" + text(localName);
}

std::string trimmedMessage(const char* message) {
  std::string trimmed = message == nullptr ? "XML parse error" : message;
  while (!trimmed.empty() && (trimmed.back() == '\n' || trimmed.back() == ' ')) {
    trimmed.pop_back();
  }
  return trimmed;
}

}  // namespace

// Adapters from libxml2's SAX2 callbacks, whose user data is the XMLParser, to its delegate.
class XMLParser::Events {
 public:
  static XMLParser& parser(void* userData) { return *static_cast<XMLParser*>(userData); }

  template <typename Call>
  static void tell(void* userData, Call call) {
    XMLParser& self = parser(userData);
    if (self.aborted_ || self.parserError_) {
      return;
    }
    if (const std::shared_ptr<XMLParserDelegate> delegate = self.delegate_.lock()) {
      call(*delegate, self);
    }
  }

  static void startDocument(void* userData) {
    tell(userData,
         [](XMLParserDelegate& delegate, XMLParser& self) { delegate.parserDidStartDocument(self); });
  }
  static void endDocument(void* userData) {
    tell(userData, [](XMLParserDelegate& delegate, XMLParser& self) { delegate.parserDidEndDocument(self); });
  }
  static void startElement(void* userData, const xmlChar* localName, const xmlChar* prefix,
                           const xmlChar* uri, int, const xmlChar**, int attributeCount, int defaultedCount,
                           const xmlChar** attributes) {
    tell(userData, [&](XMLParserDelegate& delegate, XMLParser& self) {
      std::map<std::string, std::string> values;
      // Five pointers per attribute: local name, prefix, URI, value start, value end. Defaults the document
      // declares come last; they are left out, so that a declaration cannot repeat a long value on every
      // element.
      for (int index = 0; index < attributeCount - defaultedCount; ++index) {
        const xmlChar** attribute = attributes + index * 5;
        values[qualifiedName(attribute[1], attribute[0])] =
            text(attribute[3], static_cast<int>(attribute[4] - attribute[3]));
      }
      delegate.didStartElement(self, qualifiedName(prefix, localName), text(uri), values);
    });
  }
  static void endElement(void* userData, const xmlChar* localName, const xmlChar* prefix,
                         const xmlChar* uri) {
    tell(userData, [&](XMLParserDelegate& delegate, XMLParser& self) {
      delegate.didEndElement(self, qualifiedName(prefix, localName), text(uri));
    });
  }
  static void characters(void* userData, const xmlChar* characters, int length) {
    tell(userData, [&](XMLParserDelegate& delegate, XMLParser& self) {
      delegate.foundCharacters(self, text(characters, length));
    });
  }
  static void cdataBlock(void* userData, const xmlChar* block, int length) {
    tell(userData, [&](XMLParserDelegate& delegate, XMLParser& self) {
      delegate.foundCDATA(self, Data(block, block + length));
    });
  }
  static void structuredError(void* userData, xmlErrorPtr error) {
    if (error == nullptr || error->level < XML_ERR_ERROR) {
      return;
    }
    XMLParser& self = parser(userData);
    if (self.aborted_ || self.parserError_) {
      return;
    }
    self.fail(Error(std::string(kXMLParserErrorDomain), error->code,
                    Dictionary{{std::string(kLocalizedDescriptionKey), trimmedMessage(error->message)},
                               {"NSXMLParserErrorLineNumber", error->line},
                               {"NSXMLParserErrorColumn", error->int2}}));
    // libxml2 goes on after some errors; this parse reports the first and stops.
    xmlStopParser(static_cast<xmlParserCtxtPtr>(self.context_));
  }
};

XMLParser::XMLParser(Data data) : data_(std::move(data)) {}

XMLParser::~XMLParser() = default;

bool XMLParser::parse() {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  static std::once_flag initialised;
  std::call_once(initialised, [] { xmlInitParser(); });
  parserError_.reset();
  aborted_ = false;

  // Handlers for declarations, entity look-up and external subsets stay unset: declared entities are then
  // never stored, so never expanded, and nothing outside the document is ever loaded.
  xmlSAXHandler handler{};
  handler.initialized = XML_SAX2_MAGIC;
  handler.startDocument = &Events::startDocument;
  handler.endDocument = &Events::endDocument;
  handler.startElementNs = &Events::startElement;
  handler.endElementNs = &Events::endElement;
  handler.characters = &Events::characters;
  handler.ignorableWhitespace = &Events::characters;
  handler.cdataBlock = &Events::cdataBlock;
  handler.serror = &Events::structuredError;

  xmlParserCtxtPtr context = xmlCreatePushParserCtxt(&handler, this, nullptr, 0, nullptr);
  if (context == nullptr) {
    fail(Error(std::string(kXMLParserErrorDomain), XML_ERR_NO_MEMORY,
               Dictionary{{std::string(kLocalizedDescriptionKey), "The XML parser could not be made"}}));
    return false;
  }
  xmlCtxtUseOptions(context, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  context_ = context;
  std::size_t offset = 0;
  do {
    const std::size_t chunk = std::min<std::size_t>(data_.size() - offset, INT_MAX);
    const bool last = offset + chunk == data_.size();
    const char* bytes = data_.empty() ? "" : reinterpret_cast<const char*>(data_.data() + offset);
    xmlParseChunk(context, bytes, static_cast<int>(chunk), last ? 1 : 0);
    offset += chunk;
  } while (offset < data_.size() && !parserError_ && !aborted_);
  const bool wellFormed = context->wellFormed != 0;
  context_ = nullptr;
  // libxml2 keeps declarations in a document of its own even for a reader without a tree; it is the
  // reader's to free.
  if (context->myDoc != nullptr) {
    xmlFreeDoc(context->myDoc);
    context->myDoc = nullptr;
  }
  xmlFreeParserCtxt(context);

  if (aborted_) {
    parserError_ = Error(std::string(kXMLParserErrorDomain), kXMLParserDelegateAbortedParseError,
                         Dictionary{{std::string(kLocalizedDescriptionKey), "The parse was aborted"}});
  } else if (!parserError_ && !wellFormed) {
    fail(Error(std::string(kXMLParserErrorDomain), XML_ERR_DOCUMENT_END,
               Dictionary{{std::string(kLocalizedDescriptionKey), "The document is not well-formed"}}));
  }
  return !parserError_;
}

void XMLParser::abortParsing() {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  if (context_ != nullptr && !aborted_) {
    aborted_ = true;
    xmlStopParser(static_cast<xmlParserCtxtPtr>(context_));
  }
}

void XMLParser::fail(Error error) {
  parserError_ = std::move(error);
  if (const std::shared_ptr<XMLParserDelegate> delegate = delegate_.lock()) {
    delegate->parseErrorOccurred(*this, *parserError_);
  }
}

}  // namespace ns
