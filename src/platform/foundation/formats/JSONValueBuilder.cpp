#include "platform/foundation/formats/JSONValueBuilder.h"

#include <limits>

namespace ns {

bool JSONValueBuilder::number_unsigned(std::uint64_t number) {
  // Values hold signed 64-bit integers; a larger unsigned number keeps its magnitude as a double.
  if (number > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
    return add(Value(static_cast<double>(number)));
  }
  return add(Value(static_cast<std::int64_t>(number)));
}

bool JSONValueBuilder::key(std::string& key) {
  frames_.back().key = std::move(key);
  return true;
}

bool JSONValueBuilder::parse_error(std::size_t /*position*/, const std::string& /*lastToken*/,
                                   const nlohmann::detail::exception& error) {
  // nlohmann's text starts with its own exception id ("[json.exception.parse_error.101] "), which means
  // nothing to a reader; the rest says what is wrong and at which line and column.
  std::string_view text = error.what();
  const std::size_t idEnd = text.find("] ");
  if (idEnd != std::string_view::npos) {
    text.remove_prefix(idEnd + 2);
  }
  failure_ = text;
  return false;
}

bool JSONValueBuilder::add(Value value) {
  if (frames_.empty()) {
    if (allowsFragments_) {
      result_ = std::move(value);
      return true;
    }
    failure_ = "the top-level value is neither an array nor an object";
    return false;
  }
  Frame& frame = frames_.back();
  if (frame.kind == ValueKind::kArray) {
    frame.array.push_back(std::move(value));
  } else {
    frame.dictionary.insert_or_assign(std::move(frame.key), std::move(value));
  }
  return true;
}

bool JSONValueBuilder::open(ValueKind kind) {
  if (frames_.size() == kMaximumDepth) {
    failure_ = "arrays and objects are nested more than " + std::to_string(kMaximumDepth) + " levels deep";
    return false;
  }
  frames_.push_back(Frame{kind, {}, {}, {}});
  return true;
}

bool JSONValueBuilder::close() {
  Frame frame = std::move(frames_.back());
  frames_.pop_back();
  Value finished =
      frame.kind == ValueKind::kArray ? Value(std::move(frame.array)) : Value(std::move(frame.dictionary));
  if (frames_.empty()) {
    result_ = std::move(finished);
    return true;
  }
  return add(std::move(finished));
}

}  // namespace ns
