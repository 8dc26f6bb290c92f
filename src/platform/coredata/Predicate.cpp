#include "platform/coredata/Predicate.h"

namespace cd {

Predicate Predicate::compare(std::string keyPath, ComparisonOperator comparison, ns::Value constant) {
  return Predicate({Term{std::move(keyPath), comparison, std::move(constant), false, nullptr}});
}

Predicate Predicate::equals(std::string keyPath, ns::Value constant) {
  return compare(std::move(keyPath), ComparisonOperator::kEqualTo, std::move(constant));
}

Predicate Predicate::isObject(std::string keyPath, std::shared_ptr<const ManagedObject> object) {
  return Predicate(
      {Term{std::move(keyPath), ComparisonOperator::kEqualTo, ns::Value(), true, std::move(object)}});
}

Predicate Predicate::allOf(std::vector<Predicate> operands) {
  std::vector<Term> terms;
  for (Predicate& operand : operands) {
    for (Term& term : operand.terms_) {
      terms.push_back(std::move(term));
    }
  }
  return Predicate(std::move(terms));
}

}  // namespace cd
