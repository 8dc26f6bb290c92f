#pragma once

// ns::Object is the root of the application's reference-counted objects: anything posted as a
// notification's object, observed by key, or held weakly by a delegate or block. Objects live in
// std::shared_ptr; weak references are std::weak_ptr. Not copyable: identity matters.

#include <memory>

namespace ns {

class Object : public std::enable_shared_from_this<Object> {
 public:
  virtual ~Object() = default;
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

 protected:
  Object() = default;
};

// Returns `object` as a T, or nullptr when it is not one.
template <typename T>
std::shared_ptr<T> objectAs(const std::shared_ptr<Object>& object) {
  return std::dynamic_pointer_cast<T>(object);
}

}  // namespace ns
