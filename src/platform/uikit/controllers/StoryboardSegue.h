#pragma once

// uikit::StoryboardSegue: one passage from a storyboard scene to another, made when a controller performs a
// segue: its identifier, its source and destination controllers, and how it shows the destination. Performing
// it pushes the destination onto the source's navigation controller (presenting it when the source has none),
// or presents it for a modal segue, animated.
//
// Thread-safety: main thread only, like every class of uikit.

#include <memory>
#include <string>

namespace uikit {

class ViewController;

enum class SegueKind : int { kPush = 0, kModal = 1 };

class StoryboardSegue {
 public:
  StoryboardSegue(std::string identifier, std::shared_ptr<ViewController> source,
                  std::shared_ptr<ViewController> destination, SegueKind kind);

  const std::string& identifier() const { return identifier_; }
  const std::shared_ptr<ViewController>& sourceViewController() const { return source_; }
  const std::shared_ptr<ViewController>& destinationViewController() const { return destination_; }
  SegueKind kind() const { return kind_; }

  void perform();

 private:
  std::string identifier_;
  std::shared_ptr<ViewController> source_;
  std::shared_ptr<ViewController> destination_;
  SegueKind kind_;
};

}  // namespace uikit
