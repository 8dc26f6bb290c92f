#pragma once

// The object model of the application's store, "Quillmark": seasons, subjects, stages, course nodes,
// download records and segment tasks, with their relationships and delete rules. Deleting a subject
// deletes its stages, their course trees, the lessons' download records and their segment tasks; deleting
// anything else only unlinks it from what it belonged to. Thread-safe: the model is immutable.

#include <memory>
#include <string_view>

#include "platform/coredata/ManagedObjectModel.h"

namespace app {

inline constexpr std::string_view kQuillmarkModelName = "Quillmark";

// Returns the model, built on first use and shared afterwards.
std::shared_ptr<const cd::ManagedObjectModel> quillmarkModel();

}  // namespace app
