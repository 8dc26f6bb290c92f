#pragma once

// HCImageLoad: loading one image into one image slot of a view, the road that image views and buttons
// share (HCImageViewLoading.h, HCButtonImageLoading.h). A load first cancels the slot's current operation;
// an image cached for the request is then shown at once without a request. Otherwise the placeholder goes
// up, and a request operation, current in the slot, fetches and decodes the image on the operation queue
// given; its image is cached once it arrives, and shown (or handed to the success function) only while
// that operation is still the slot's current one, so an earlier load that finishes late never replaces the
// image of a later one.
//
// One request per URL (and serializer) is on its way at a time: a load of a URL already on its way waits
// for that request, whose operation becomes its slot's current one too, and takes its image or its failure.
// Cancelling such a load only stops its slot waiting (it still reports as a cancelled load does); the
// request itself is cancelled once no slot waits for it.
//
// Thread-safety: main thread only; completions run on the main queue.

#include <functional>
#include <memory>
#include <optional>

#include "http_client/HCImageCache.h"
#include "http_client/HCViewImageLoads.h"
#include "platform/foundation/loop/OperationQueue.h"
#include "platform/uikit/drawing/Image.h"
#include "platform/uikit/views/View.h"

namespace http_client {

// Gets the request (std::nullopt when the image came from the cache), the response (nullptr likewise) and
// the image.
using HCImageLoadSuccess = std::function<void(const std::optional<ns::URLRequest>& request,
                                              const std::shared_ptr<const ns::HTTPURLResponse>& response,
                                              const std::shared_ptr<const uikit::Image>& image)>;
// Gets the request, the response (nullptr when none came) and the error.
using HCImageLoadFailure =
    std::function<void(const std::optional<ns::URLRequest>& request,
                       const std::shared_ptr<const ns::HTTPURLResponse>& response, const ns::Error& error)>;

struct HCImageLoad {
  // The longest reply body a load takes in: a longer one fails the load
  // (ns::kURLErrorDataLengthExceedsMaximum) as it arrives, rather than being held in memory.
  static constexpr std::size_t kMaximumBodyLength = std::size_t{32} * 1024 * 1024;

  // Puts an image into the slot of the view.
  using Show = std::function<void(uikit::View& view, const std::shared_ptr<const uikit::Image>& image)>;

  // Which failures reach the failure function, besides those of the slot's current operation.
  enum class SupersededFailures {
    kSameURLOnly,  // a superseded load reports only when the slot's current load asks for the same URL
    kAll,
  };
  // What the slot keeps once its operation has finished.
  enum class FinishedOperation { kForget, kKeep };

  std::shared_ptr<uikit::View> view;
  HCImageSlot slot;
  ns::URLRequest request;
  std::shared_ptr<const uikit::Image> placeholder;
  Show show;
  // Looked up, and filled once the image arrives.
  std::shared_ptr<HCImageCache> cache;
  std::shared_ptr<HCImageResponseSerializer> serializer;
  ns::OperationQueue* queue = nullptr;
  HCImageLoadSuccess success;
  HCImageLoadFailure failure;
  SupersededFailures supersededFailures = SupersededFailures::kSameURLOnly;
  FinishedOperation finishedOperation = FinishedOperation::kForget;

  // Starts the load. REQUIRES: view, show, cache, serializer and queue are set; the queue outlives the
  // load.
  static void start(HCImageLoad load);
  // Cancels the slot's current operation and forgets it; it then reports as its load's rules say.
  static void cancel(const std::shared_ptr<uikit::View>& view, HCImageSlot slot);

  // Puts the image loads' process-wide state back: what views kept, the registered caches, and the
  // default cache emptied at its default limit.
  static void resetForTesting();
};

}  // namespace http_client
