#include "platform/foundation/formats/BinaryPropertyListChecks.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

#include "platform/foundation/formats/BinaryPropertyListLayout.h"

namespace ns {
namespace {

using Layout = BinaryPropertyListLayout;

// Returns the bytes of the characters of a string object, `unitSize` bytes a character, as far as they lie
// in the document. A count that cannot be read gives every byte up to the end.
std::span<const std::uint8_t> characterBytes(const Layout& layout, const Layout::Object& string,
                                             std::uint64_t unitSize) {
  const std::span<const std::uint8_t>& document = layout.document();
  if (string.contents >= document.size()) {
    return {};
  }
  const std::uint64_t available = (document.size() - string.contents) / unitSize;
  return document.subspan(string.contents, std::min(string.count.value_or(available), available) * unitSize);
}

// Returns the bytes that a character of a string object of `type` takes, or 0 for objects that are no
// strings.
std::uint64_t characterSize(std::uint8_t type) {
  switch (type) {
    case Layout::kAsciiString:
      return 1;
    case Layout::kUtf16String:
      return 2;
    default:
      return 0;
  }
}

bool holdsNul(std::span<const std::uint8_t> characters, std::uint64_t unitSize) {
  for (std::size_t i = 0; i < characters.size(); i += unitSize) {
    if (std::all_of(characters.begin() + i, characters.begin() + i + unitSize,
                    [](std::uint8_t byte) { return byte == 0; })) {
      return true;
    }
  }
  return false;
}

bool isContainer(std::uint8_t type) {
  return type == Layout::kArray || type == Layout::kSet || type == Layout::kDictionary;
}

// An array, set or dictionary on the path from the top object, with the references still to follow.
struct Step {
  std::uint64_t index;
  std::uint64_t contents;
  std::uint64_t nextReference;
  std::uint64_t endReference;
  // The most levels found below it so far, itself included.
  std::uint64_t height;
};

// The references of a container that lead to the values it holds, as far as they lie in the document: a
// dictionary's keys come first and hold no values. Returns nullopt when its element count cannot be read.
std::optional<Step> stepInto(const Layout& layout, std::uint64_t index, const Layout::Object& container) {
  if (!container.count) {
    return std::nullopt;
  }
  const std::uint64_t fitting = layout.referencesFittingAt(container.contents);
  const std::uint64_t first = container.type == Layout::kDictionary ? std::min(*container.count, fitting) : 0;
  return Step{index, container.contents, first, first + std::min(*container.count, fitting - first), 1};
}

}  // namespace

bool binaryPropertyListHoldsNulInAString(std::span<const std::uint8_t> document) {
  const std::optional<Layout> layout = Layout::read(document);
  if (!layout) {
    return false;
  }
  for (std::uint64_t index = 0; index < layout->objectCount(); ++index) {
    const std::optional<Layout::Object> object = layout->object(index);
    const std::uint64_t unitSize = object ? characterSize(object->type) : 0;
    if (unitSize != 0 && holdsNul(characterBytes(*layout, *object, unitSize), unitSize)) {
      return true;
    }
  }
  return false;
}

bool binaryPropertyListNestsDeeperThan(std::span<const std::uint8_t> document, std::uint64_t levels) {
  const std::optional<Layout> layout = Layout::read(document);
  if (!layout) {
    return false;
  }
  const std::optional<Layout::Object> top = layout->object(layout->topObject());
  if (!top || !isContainer(top->type)) {
    return false;
  }
  // The height of each container whose values have all been followed: 0 for one not reached yet, kOnPath for
  // one on the current path. A container reached again is not followed again, so that every reference is
  // followed once however the document shares its objects.
  constexpr std::uint64_t kOnPath = std::numeric_limits<std::uint64_t>::max();
  std::vector<std::uint64_t> heights(layout->objectCount(), 0);
  std::vector<Step> path;
  const auto enter = [&](std::uint64_t index, const Layout::Object& container) {
    const std::optional<Step> step = stepInto(*layout, index, container);
    if (step) {
      heights[index] = kOnPath;
      path.push_back(*step);
    }
    return step.has_value();
  };
  if (!enter(layout->topObject(), *top)) {
    return true;
  }
  while (!path.empty()) {
    if (path.size() > levels) {
      return true;
    }
    Step& step = path.back();
    if (step.nextReference == step.endReference) {
      const Step finished = step;
      heights[finished.index] = finished.height;
      path.pop_back();
      if (!path.empty()) {
        path.back().height = std::max(path.back().height, finished.height + 1);
      }
      continue;
    }
    const std::optional<std::uint64_t> child = layout->reference(step.contents, step.nextReference++);
    const std::optional<Layout::Object> object = child ? layout->object(*child) : std::nullopt;
    if (!object || !isContainer(object->type)) {
      // A value that is no container, or that libplist cannot read, adds one level.
      step.height = std::max<std::uint64_t>(step.height, 2);
    } else if (heights[*child] == kOnPath) {
      return true;
    } else if (heights[*child] != 0) {
      step.height = std::max(step.height, heights[*child] + 1);
    } else if (!enter(*child, *object)) {
      return true;
    }
  }
  return heights[layout->topObject()] > levels;
}

}  // namespace ns
