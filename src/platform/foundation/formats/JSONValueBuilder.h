#pragma once

// JSONValueBuilder receives nlohmann::json's SAX events while a JSON text is parsed and builds the ns::Value
// straight from them, so that no intermediate nlohmann::json tree is made. JSONSerialization drives it.
// Not thread-safe: one builder serves one parse.

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "platform/foundation/values/Value.h"

namespace ns {

class JSONValueBuilder {
 public:
  // Nesting deeper than this is refused: values are destroyed and described recursively, and a hostile
  // reply of a million "[" must not exhaust the stack.
  static constexpr std::size_t kMaximumDepth = 512;

  // `allowsFragments`: a lone scalar may be the whole text.
  explicit JSONValueBuilder(bool allowsFragments) : allowsFragments_(allowsFragments) {}

  // The SAX interface of nlohmann::json::sax_parse. Each returns false to stop the parse: on a syntax
  // error, on a top-level value that is neither an array nor an object (unless fragments are allowed), or
  // on nesting beyond kMaximumDepth.
  bool null() { return add(Value()); }
  bool boolean(bool flag) { return add(Value(flag)); }
  bool number_integer(std::int64_t number) { return add(Value(number)); }
  bool number_unsigned(std::uint64_t number);
  bool number_float(double number, const std::string& /*text*/) { return add(Value(number)); }
  bool string(std::string& text) { return add(Value(std::move(text))); }
  // JSON text holds no binary values; the event exists for the binary formats nlohmann also reads.
  bool binary(nlohmann::json::binary_t& /*bytes*/) { return false; }
  bool start_object(std::size_t /*count*/) { return open(ValueKind::kDictionary); }
  bool key(std::string& key);
  bool end_object() { return close(); }
  bool start_array(std::size_t /*count*/) { return open(ValueKind::kArray); }
  bool end_array() { return close(); }
  bool parse_error(std::size_t position, const std::string& lastToken,
                   const nlohmann::detail::exception& error);

  // REQUIRES: the parse returned true. Returns the top-level value.
  Value takeResult() { return std::move(result_); }
  // REQUIRES: the parse returned false. Returns what went wrong and, for syntax errors, where.
  const std::string& failure() const { return failure_; }

 private:
  // An array or dictionary under construction, with the key that the next member of a dictionary takes.
  struct Frame {
    ValueKind kind;
    Array array;
    Dictionary dictionary;
    std::string key;
  };

  bool add(Value value);
  bool open(ValueKind kind);
  bool close();

  const bool allowsFragments_;
  std::vector<Frame> frames_;
  Value result_;
  std::string failure_;
};

}  // namespace ns
