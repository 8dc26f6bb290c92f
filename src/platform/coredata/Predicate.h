#pragma once

// cd::Predicate: the condition a fetch puts on the objects it returns: comparisons of a key path with a
// constant, joined by AND. A key path is an attribute name, or a to-one relationship name, optionally after
// to-one relationship names joined by "." ("course.ownByStage"). An empty predicate (allOf({})) matches
// every object.
//
// Comparisons go by the attribute's type: integers by value, texts by UTF-16 code unit (so "10" sorts
// before "9"); a constant of another type is first converted to the attribute's (a number to its text, a
// text to its leading integer). Nil equals only nil and is neither less nor greater than anything; a key
// path that passes through a missing object reads nil.
//
// Thread-safe as a value; the objects it names belong to their context's thread.

#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/values/Value.h"

namespace cd {

class ManagedObject;

enum class ComparisonOperator {
  kEqualTo,
  kNotEqualTo,
  kLessThan,
  kLessThanOrEqualTo,
  kGreaterThan,
  kGreaterThanOrEqualTo,
};

class Predicate {
 public:
  struct Term {
    std::string keyPath;
    ComparisonOperator comparison = ComparisonOperator::kEqualTo;
    // The constant of an attribute comparison.
    ns::Value constant;
    // The object of a relationship comparison; only equality and inequality apply to objects.
    bool comparesObject = false;
    std::shared_ptr<const ManagedObject> object;
  };

  // "keyPath comparison constant", where keyPath ends in an attribute.
  static Predicate compare(std::string keyPath, ComparisonOperator comparison, ns::Value constant);
  // "keyPath == constant".
  static Predicate equals(std::string keyPath, ns::Value constant);
  // "keyPath == object", where keyPath ends in a to-one relationship; a null `object` asks for no object.
  static Predicate isObject(std::string keyPath, std::shared_ptr<const ManagedObject> object);
  // "operand AND operand AND ...".
  static Predicate allOf(std::vector<Predicate> operands);

  // The comparisons that must all hold.
  const std::vector<Term>& terms() const { return terms_; }

 private:
  explicit Predicate(std::vector<Term> terms) : terms_(std::move(terms)) {}

  std::vector<Term> terms_;
};

}  // namespace cd
