#include "platform/coredata/BoundPredicate.h"

#include <compare>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/foundation/text/Utf16.h"

namespace cd {

namespace {

[[noreturn]] void badKeyPath(const EntityDescription& entity, const std::string& keyPath,
                             const char* problem) {
  std::fprintf(stderr, "cd::Predicate on %s: key path \"%s\" %s\n", entity.name().c_str(), keyPath.c_str(),
               problem);
  std::abort();
}

ns::Value converted(const ns::Value& constant, AttributeType type) {
  if (constant.isNull()) {
    return constant;
  }
  if (type == AttributeType::kText) {
    return constant.isString() ? constant : ns::Value(ns::describe(constant));
  }
  return ns::Value(constant.integerValue());
}

bool satisfies(std::weak_ordering order, ComparisonOperator comparison) {
  switch (comparison) {
    case ComparisonOperator::kEqualTo:
      return order == 0;
    case ComparisonOperator::kNotEqualTo:
      return order != 0;
    case ComparisonOperator::kLessThan:
      return order < 0;
    case ComparisonOperator::kLessThanOrEqualTo:
      return order <= 0;
    case ComparisonOperator::kGreaterThan:
      return order > 0;
    case ComparisonOperator::kGreaterThanOrEqualTo:
      return order >= 0;
  }
  return false;
}

}  // namespace

BoundPredicate::BoundPredicate(const Predicate& predicate, const ManagedObjectModel& model,
                               const EntityDescription& entity) {
  for (const Predicate::Term& term : predicate.terms()) {
    terms_.push_back(bind(term, model, entity));
    if (term.object != nullptr) {
      objects_.push_back(term.object);
    }
  }
}

BoundPredicate::BoundTerm BoundPredicate::bind(const Predicate::Term& term, const ManagedObjectModel& model,
                                               const EntityDescription& entity) {
  BoundTerm bound;
  bound.comparesObject = term.comparesObject;
  bound.comparison = term.comparison;
  bound.object = term.object.get();
  // Every key but the last is a to-one relationship to walk.
  std::string_view rest = term.keyPath;
  const EntityDescription* current = &entity;
  for (std::size_t dot = rest.find('.'); dot != std::string_view::npos; dot = rest.find('.')) {
    const std::optional<std::size_t> relationship = current->relationshipIndex(rest.substr(0, dot));
    if (!relationship || current->relationships()[*relationship].cardinality != Cardinality::kToOne) {
      badKeyPath(entity, term.keyPath, "passes through something other than a to-one relationship");
    }
    bound.path.push_back(*relationship);
    current = &model.entities()[current->destinationIndex(*relationship)];
    rest.remove_prefix(dot + 1);
  }
  if (term.comparesObject) {
    const std::optional<std::size_t> relationship = current->relationshipIndex(rest);
    if (!relationship || current->relationships()[*relationship].cardinality != Cardinality::kToOne ||
        (term.comparison != ComparisonOperator::kEqualTo &&
         term.comparison != ComparisonOperator::kNotEqualTo)) {
      badKeyPath(entity, term.keyPath, "does not end in a to-one relationship compared for equality");
    }
    bound.last = *relationship;
    return bound;
  }
  const std::optional<std::size_t> attribute = current->attributeIndex(rest);
  if (!attribute) {
    badKeyPath(entity, term.keyPath, "does not end in an attribute");
  }
  bound.last = *attribute;
  bound.type = current->attributes()[*attribute].type;
  bound.constant = converted(term.constant, bound.type);
  bound.indexed =
      bound.path.empty() && current->attributes()[*attribute].indexing == AttributeIndexing::kIndexed;
  return bound;
}

bool BoundPredicate::evaluate(const ManagedObject& object) const {
  for (const BoundTerm& term : terms_) {
    if (!holds(term, object)) {
      return false;
    }
  }
  return true;
}

bool BoundPredicate::holds(const BoundTerm& term, const ManagedObject& object) {
  const ManagedObject* current = &object;
  for (const std::size_t relationship : term.path) {
    current = current != nullptr ? current->relationships_[relationship].toOne : nullptr;
  }
  if (term.comparesObject) {
    const ManagedObject* related = current != nullptr ? current->relationships_[term.last].toOne : nullptr;
    return (related == term.object) == (term.comparison == ComparisonOperator::kEqualTo);
  }
  static const ns::Value kNil;
  const ns::Value& value = current != nullptr ? current->attributes_[term.last] : kNil;
  if (value.isNull() || term.constant.isNull()) {
    const bool bothNil = value.isNull() && term.constant.isNull();
    return term.comparison == ComparisonOperator::kEqualTo      ? bothNil
           : term.comparison == ComparisonOperator::kNotEqualTo ? !bothNil
                                                                : false;
  }
  const std::weak_ordering order = term.type == AttributeType::kText
                                       ? ns::utf16Compare(value.asString(), term.constant.asString())
                                       : value.asInteger() <=> term.constant.asInteger();
  return satisfies(order, term.comparison);
}

std::optional<std::pair<std::size_t, std::string_view>> BoundPredicate::indexedEquality() const {
  for (const BoundTerm& term : terms_) {
    if (term.indexed && term.comparison == ComparisonOperator::kEqualTo && term.constant.isString()) {
      return std::make_pair(term.last, std::string_view(term.constant.asString()));
    }
  }
  return std::nullopt;
}

}  // namespace cd
