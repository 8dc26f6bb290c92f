#include "platform/coredata/ManagedObject.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/coredata/ManagedObjectContext.h"

namespace cd {

namespace {

[[noreturn]] void misuse(const EntityDescription& entity, std::string_view property, const char* problem) {
  std::fprintf(stderr, "cd::ManagedObject %s.%.*s: %s\n", entity.name().c_str(),
               static_cast<int>(property.size()), property.data(), problem);
  std::abort();
}

bool comesBefore(const ManagedObject* a, const ManagedObject* b) {
  return a->primaryKey() < b->primaryKey();
}

}  // namespace

ManagedObject::~ManagedObject() = default;

void ManagedObject::attach(ManagedObjectContext* context, std::shared_ptr<const ManagedObjectModel> model,
                           const EntityDescription* entity, std::int64_t primaryKey,
                           std::vector<ns::Value> attributes) {
  model_ = std::move(model);
  entity_ = entity;
  context_ = context;
  primaryKey_ = primaryKey;
  attributes_ = std::move(attributes);
  attributes_.resize(entity->attributes().size());
  relationships_.resize(entity->relationships().size());
}

std::shared_ptr<ManagedObject> ManagedObject::self() const {
  return std::const_pointer_cast<ManagedObject>(
      std::static_pointer_cast<const ManagedObject>(shared_from_this()));
}

ns::Value ManagedObject::valueForKey(std::string_view key) const {
  const std::optional<std::size_t> attribute = entity_->attributeIndex(key);
  return attribute ? attributes_[*attribute] : ns::Value();
}

std::optional<std::string> ManagedObject::textValue(std::size_t attribute) const {
  const ns::Value& value = attributes_[attribute];
  if (value.isNull()) {
    return std::nullopt;
  }
  return value.asString();
}

std::optional<std::int64_t> ManagedObject::integerValue(std::size_t attribute) const {
  const ns::Value& value = attributes_[attribute];
  if (value.isNull()) {
    return std::nullopt;
  }
  return value.asInteger();
}

void ManagedObject::setTextValue(std::size_t attribute, std::optional<std::string> value) {
  if (entity_->attributes()[attribute].type != AttributeType::kText) {
    misuse(*entity_, entity_->attributes()[attribute].name, "is not a text attribute");
  }
  setAttribute(attribute, value ? ns::Value(std::move(*value)) : ns::Value());
}

void ManagedObject::setIntegerValue(std::size_t attribute, std::optional<std::int64_t> value) {
  if (entity_->attributes()[attribute].type != AttributeType::kInteger) {
    misuse(*entity_, entity_->attributes()[attribute].name, "is not an integer attribute");
  }
  setAttribute(attribute, value ? ns::Value(*value) : ns::Value());
}

void ManagedObject::setAttribute(std::size_t attribute, ns::Value value) {
  ns::Value oldValue = std::move(attributes_[attribute]);
  attributes_[attribute] = std::move(value);
  if (!(oldValue == attributes_[attribute]) && context_ != nullptr && !deleted_) {
    context_->attributeDidChange(*this, attribute, oldValue);
    markUpdated();
  }
  didChangeValueForKey(entity_->attributes()[attribute].name, oldValue, attributes_[attribute]);
}

void ManagedObject::markUpdated() {
  if (context_ != nullptr && persisted_ && !deleted_ && !updated_) {
    updated_ = true;
    context_->objectDidUpdate(*this);
  }
}

std::shared_ptr<ManagedObject> ManagedObject::relatedObject(std::size_t relationship) const {
  ManagedObject* object = relationships_[relationship].toOne;
  return object != nullptr ? object->self() : nullptr;
}

std::vector<std::shared_ptr<ManagedObject>> ManagedObject::relatedObjects(std::size_t relationship) const {
  if (context_ != nullptr) {
    // The list is complete only once every object that may point here has been read. A failed read leaves
    // the objects known so far, which is all a caller could get.
    static_cast<void>(context_->ensureLoaded(entity_->destinationIndex(relationship)));
  }
  std::vector<std::shared_ptr<ManagedObject>> objects;
  objects.reserve(relationships_[relationship].toMany.size());
  for (ManagedObject* object : relationships_[relationship].toMany) {
    objects.push_back(object->self());
  }
  return objects;
}

void ManagedObject::setRelatedObject(std::size_t relationship, const std::shared_ptr<ManagedObject>& object) {
  const RelationshipDescription& description = entity_->relationships()[relationship];
  if (description.cardinality != Cardinality::kToOne) {
    misuse(*entity_, description.name, "is to-many; set the to-one side instead");
  }
  if (object != nullptr &&
      (object->context_ != context_ || object->entity_->index() != entity_->destinationIndex(relationship))) {
    misuse(*entity_, description.name, "was given an object of another entity or context");
  }
  ManagedObject* target = object.get();
  ManagedObject* current = relationships_[relationship].toOne;
  if (current == target || deleted_) {
    return;
  }
  const std::size_t inverse = entity_->inverseIndex(relationship);
  if (current != nullptr) {
    current->unlinkSide(inverse, this);
  }
  if (target != nullptr) {
    // A one-to-one partner that the target is linked to loses the target.
    ManagedObject* targetsPartner = target->relationships_[inverse].toOne;
    if (target->entity_->relationships()[inverse].cardinality == Cardinality::kToOne &&
        targetsPartner != nullptr) {
      targetsPartner->unlinkSide(relationship, target);
    }
    target->linkSide(inverse, this);
  }
  relationships_[relationship].toOne = target;
  markUpdated();
}

void ManagedObject::linkSide(std::size_t relationship, ManagedObject* other) {
  RelationshipSlot& slot = relationships_[relationship];
  if (entity_->relationships()[relationship].cardinality == Cardinality::kToMany) {
    slot.toMany.insert(std::upper_bound(slot.toMany.begin(), slot.toMany.end(), other, comesBefore), other);
    return;
  }
  slot.toOne = other;
  markUpdated();
}

void ManagedObject::unlinkSide(std::size_t relationship, const ManagedObject* other) {
  RelationshipSlot& slot = relationships_[relationship];
  if (entity_->relationships()[relationship].cardinality == Cardinality::kToMany) {
    std::erase(slot.toMany, other);
    return;
  }
  if (slot.toOne == other) {
    slot.toOne = nullptr;
    markUpdated();
  }
}

void ManagedObject::dropRelationships() {
  for (RelationshipSlot& slot : relationships_) {
    slot.toOne = nullptr;
    slot.toMany.clear();
  }
}

}  // namespace cd
