#pragma once

// ZBM3U8Set: what the playlist parser found in an index playlist. The text fields hold the raw text of
// their tag's value without the line end, std::nullopt when the playlist lacks the tag. Entry i of
// tsMetadatas() (the duration written "%.2f") and entry i of tsURIs() (the percent-escaped URL) belong to
// the same segment. A plain value; not thread-safe for concurrent writes.

#include <optional>
#include <string>
#include <vector>

namespace learning {

class ZBM3U8Set {
 public:
  using Text = std::optional<std::string>;

  // "#EXT-X-MEDIA-SEQUENCE:"
  const Text& sequence() const { return sequence_; }
  void setSequence(Text value) { sequence_ = std::move(value); }
  // "#EXT-X-ALLOW-CACHE:"
  const Text& cache() const { return cache_; }
  void setCache(Text value) { cache_ = std::move(value); }
  // "#EXT-X-VERSION:"
  const Text& version() const { return version_; }
  void setVersion(Text value) { version_ = std::move(value); }
  // The METHOD, URI (without its double quotes) and IV attributes of the key line.
  const Text& method() const { return method_; }
  void setMethod(Text value) { method_ = std::move(value); }
  const Text& uri() const { return uri_; }
  void setUri(Text value) { uri_ = std::move(value); }
  const Text& iv() const { return iv_; }
  void setIv(Text value) { iv_ = std::move(value); }
  // "#EXT-X-TARGETDURATION:"
  const Text& targetDuration() const { return targetDuration_; }
  void setTargetDuration(Text value) { targetDuration_ = std::move(value); }

  const std::vector<std::string>& tsMetadatas() const { return tsMetadatas_; }
  std::vector<std::string>& tsMetadatas() { return tsMetadatas_; }
  const std::vector<std::string>& tsURIs() const { return tsURIs_; }
  std::vector<std::string>& tsURIs() { return tsURIs_; }

 private:
  Text sequence_;
  Text cache_;
  Text version_;
  Text method_;
  Text uri_;
  Text iv_;
  Text targetDuration_;
  std::vector<std::string> tsMetadatas_;
  std::vector<std::string> tsURIs_;
};

}  // namespace learning
