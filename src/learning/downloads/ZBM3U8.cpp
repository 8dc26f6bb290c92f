#include "learning/downloads/ZBM3U8.h"

#include <cstdio>
#include <vector>

#include "app/store/ConsoleLog.h"
#include "learning/downloads/SegmentURL.h"
#include "platform/avfoundation/PlaylistKeyAttribute.h"
#include "platform/avfoundation/PlaylistLine.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/text/StringEncoding.h"
#include "platform/foundation/text/Trimming.h"
#include "platform/foundation/values/TextNumbers.h"
#include "platform/net/PercentEscaping.h"

namespace learning {

namespace {

constexpr std::string_view kPlaylistSignature = "#EXTM3U";
constexpr std::string_view kLocalKeyFileName = "K.bin";

// Reads the key line's attributes; an attribute given twice counts once, as it first stands, the one that
// the rewriter points at the local key.
void readKeyLine(std::string_view keyLine, ZBM3U8Set& set) {
  for (const av::PlaylistKeyAttribute& attribute : av::playlistKeyAttributes(keyLine)) {
    if (attribute.name == "METHOD" && !set.method()) {
      set.setMethod(std::string(attribute.value));
    } else if (attribute.name == "URI" && !set.uri()) {
      set.setUri(av::unquotedAttributeValue(attribute.value));
    } else if (attribute.name == "IV" && !set.iv()) {
      set.setIv(std::string(attribute.value));
    }
  }
}

// A header tag and the field of ZBM3U8Set that takes its value.
struct HeaderTag {
  std::string_view tag;
  const ZBM3U8Set::Text& (ZBM3U8Set::*field)() const;
  void (ZBM3U8Set::*setField)(ZBM3U8Set::Text);
};

constexpr HeaderTag kHeaderTags[] = {
    {"#EXT-X-MEDIA-SEQUENCE:", &ZBM3U8Set::sequence, &ZBM3U8Set::setSequence},
    {"#EXT-X-ALLOW-CACHE:", &ZBM3U8Set::cache, &ZBM3U8Set::setCache},
    {"#EXT-X-VERSION:", &ZBM3U8Set::version, &ZBM3U8Set::setVersion},
    {"#EXT-X-TARGETDURATION:", &ZBM3U8Set::targetDuration, &ZBM3U8Set::setTargetDuration},
};

// Stores the value of the header tag on `line`, unless an earlier line already gave that tag's value.
void readHeaderLine(std::string_view line, ZBM3U8Set& set) {
  for (const HeaderTag& header : kHeaderTags) {
    if (line.starts_with(header.tag) && !(set.*header.field)()) {
      (set.*header.setField)(std::string(line.substr(header.tag.size())));
    }
  }
}

std::string formattedDuration(std::string_view durationText) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", ns::doubleValueOfText(durationText));
  return text;
}

std::string keyLinePointedAt(std::string_view keyLine, std::string_view baseURL) {
  for (const av::PlaylistKeyAttribute& attribute : av::playlistKeyAttributes(keyLine)) {
    if (attribute.name == "URI") {
      const std::size_t valueStart = attribute.value.data() - keyLine.data();
      std::string rewritten(keyLine.substr(0, valueStart));
      rewritten.append("\"").append(baseURL).append(kLocalKeyFileName).append("\"");
      rewritten.append(keyLine.substr(valueStart + attribute.value.size()));
      return rewritten;
    }
  }
  return std::string(keyLine);
}

std::string segmentLinePointedAtFile(std::string_view segmentLine) {
  const std::optional<std::string> url = downloadableSegmentURL(segmentLine);
  if (!url) {
    return std::string(segmentLine);
  }
  return ns::percentEscape(*segmentFileName(*url), ns::kURLUnreservedPunctuation);
}

std::string rewrittenPlaylist(std::string_view text, std::string_view baseURL) {
  std::string rewritten;
  rewritten.reserve(text.size() + 64);
  bool firstLine = true;
  for (const av::PlaylistLine& line : av::splitPlaylistLines(text)) {
    if (!firstLine) {
      rewritten.push_back('\n');
    }
    firstLine = false;
    switch (line.kind) {
      case av::PlaylistLine::Kind::kKey:
        rewritten.append(keyLinePointedAt(line.text, baseURL));
        break;
      case av::PlaylistLine::Kind::kSegment:
        rewritten.append(segmentLinePointedAtFile(line.text));
        break;
      case av::PlaylistLine::Kind::kOther:
        rewritten.append(line.text);
        break;
    }
  }
  return rewritten;
}

}  // namespace

std::optional<ZBM3U8Set> ZBM3U8::decodeM3U8IndexContext(std::string_view text) {
  if (!ns::trimmingWhitespaceAndNewlines(text).starts_with(kPlaylistSignature)) {
    return std::nullopt;
  }
  ZBM3U8Set set;
  bool keyRead = false;
  for (const av::PlaylistLine& line : av::splitPlaylistLines(text)) {
    switch (line.kind) {
      case av::PlaylistLine::Kind::kKey:
        if (!keyRead) {
          readKeyLine(line.text, set);
          keyRead = true;
        }
        break;
      case av::PlaylistLine::Kind::kSegment:
        if (std::optional<std::string> url = downloadableSegmentURL(line.text)) {
          set.tsMetadatas().push_back(formattedDuration(line.duration));
          set.tsURIs().push_back(std::move(*url));
        }
        break;
      case av::PlaylistLine::Kind::kOther:
        readHeaderLine(line.text, set);
        break;
    }
  }
  return set;
}

ns::Status ZBM3U8::replaceM3U8File(const std::string& path, std::string_view localServerBaseURL) {
  if (localServerBaseURL.empty()) {
    app::consoleLog("数据出现错误");
    return ns::Error(std::string(kZBM3U8ErrorDomain), kZBM3U8MissingBaseURLError);
  }
  const ns::FileManager& files = ns::FileManager::defaultManager();
  ns::Result<ns::Data> contents = files.contentsAtPath(path);
  if (!contents) {
    return contents.error();
  }
  const std::optional<std::string> text = ns::StringEncoding::utf8().decode(*contents);
  if (!text) {
    return ns::Error(std::string(kZBM3U8ErrorDomain), kZBM3U8NotUTF8TextError);
  }
  return files.createFileAtPath(path, ns::dataFromString(rewrittenPlaylist(*text, localServerBaseURL)));
}

}  // namespace learning
