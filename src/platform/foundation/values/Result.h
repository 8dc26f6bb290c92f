#pragma once

// ns::Result<T>: a value or the ns::Error that prevented it. Functions that can fail across module lines
// return one instead of throwing. Result<void> carries only success or an error.

#include <optional>
#include <utility>
#include <variant>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/values/Error.h"

namespace ns {

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : storage_(std::in_place_index<0>, std::move(value)) {}
  Result(Error error) : storage_(std::in_place_index<1>, std::move(error)) {}

  bool ok() const { return storage_.index() == 0; }
  explicit operator bool() const { return ok(); }

  // REQUIRES: ok().
  const T& value() const& {
    QM_DCHECK(ok(), "the result holds a value");
    return std::get<0>(storage_);
  }
  T& value() & {
    QM_DCHECK(ok(), "the result holds a value");
    return std::get<0>(storage_);
  }
  T&& value() && {
    QM_DCHECK(ok(), "the result holds a value");
    return std::get<0>(std::move(storage_));
  }
  const T& operator*() const& { return value(); }
  T& operator*() & { return value(); }
  const T* operator->() const { return &value(); }
  T* operator->() { return &value(); }

  // REQUIRES: !ok().
  const Error& error() const {
    QM_DCHECK(!ok(), "the result holds an error");
    return std::get<1>(storage_);
  }

 private:
  std::variant<T, Error> storage_;
};

template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Error error) : error_(std::move(error)) {}

  bool ok() const { return !error_.has_value(); }
  explicit operator bool() const { return ok(); }
  // REQUIRES: !ok().
  const Error& error() const {
    QM_DCHECK(!ok(), "the result holds an error");
    return *error_;
  }

 private:
  std::optional<Error> error_;
};

using Status = Result<void>;

}  // namespace ns
