#include "http_client/HCImageLoad.h"

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "http_client/HCSharedImageCache.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/DispatchQueue.h"
#include "platform/net/URLError.h"

namespace http_client {

namespace {

// One slot waiting for the image of a load on its way, with what its own load asked for.
struct Waiter {
  std::weak_ptr<uikit::View> view;
  HCImageSlot slot;
  ns::URLRequest request;
  HCImageLoad::Show show;
  std::shared_ptr<HCImageCache> cache;
  HCImageLoadSuccess success;
  HCImageLoadFailure failure;
  HCImageLoad::SupersededFailures supersededFailures;
  HCImageLoad::FinishedOperation finishedOperation;
};

// One request on its way for a URL, and every slot that waits for its image: a list of many rows showing
// the same picture fetches it once.
struct SharedLoad {
  std::pair<std::string, const HCImageResponseSerializer*> key;
  std::shared_ptr<HCHTTPRequestOperation> operation;
  std::vector<Waiter> waiters;
};

// The loads on their way, by URL and serializer (another serializer may make another image of the bytes).
std::map<std::pair<std::string, const HCImageResponseSerializer*>, std::shared_ptr<SharedLoad>>&
loadsOnTheirWay() {
  static auto* loads =
      new std::map<std::pair<std::string, const HCImageResponseSerializer*>, std::shared_ptr<SharedLoad>>();
  return *loads;
}

void forgetSharedLoad(const SharedLoad& load) {
  auto& loads = loadsOnTheirWay();
  if (const auto found = loads.find(load.key); found != loads.end() && found->second.get() == &load) {
    loads.erase(found);
  }
}

void deliverImage(const Waiter& waiter, const std::shared_ptr<HCHTTPRequestOperation>& completed) {
  const std::shared_ptr<uikit::View> view = waiter.view.lock();
  if (!view) {
    return;
  }
  const std::shared_ptr<const uikit::Image> image = completed->responseImage();
  HCViewImageLoads& loads = HCViewImageLoads::shared();
  if (loads.operation(*view, waiter.slot) == completed) {
    if (waiter.success) {
      waiter.success(waiter.request, completed->response(), image);
    } else if (image) {
      waiter.show(*view, image);
    }
    if (waiter.finishedOperation == HCImageLoad::FinishedOperation::kForget &&
        loads.operation(*view, waiter.slot) == completed) {
      loads.exchangeOperation(view, waiter.slot, nullptr);
    }
  }
  waiter.cache->cacheImage(image, waiter.request);
}

void deliverFailure(const Waiter& waiter, const std::shared_ptr<HCHTTPRequestOperation>& failed,
                    const ns::Error& error) {
  const std::shared_ptr<uikit::View> view = waiter.view.lock();
  const std::shared_ptr<HCHTTPRequestOperation> current =
      view ? HCViewImageLoads::shared().operation(*view, waiter.slot) : nullptr;
  const bool reports = waiter.supersededFailures == HCImageLoad::SupersededFailures::kAll ||
                       current == failed || (current && current->request().url() == waiter.request.url());
  if (waiter.failure && reports) {
    waiter.failure(waiter.request, failed->response(), error);
  }
  // The failure function may have started another load in the slot.
  if (view && waiter.finishedOperation == HCImageLoad::FinishedOperation::kForget &&
      HCViewImageLoads::shared().operation(*view, waiter.slot) == failed) {
    HCViewImageLoads::shared().exchangeOperation(view, waiter.slot, nullptr);
  }
}

// Starts the request of `first`'s load, which later loads of the same URL join until it ends.
std::shared_ptr<HCHTTPRequestOperation> startSharedLoad(
    std::pair<std::string, const HCImageResponseSerializer*> key, const HCImageLoad& first, Waiter waiter) {
  auto operation = std::make_shared<HCHTTPRequestOperation>(first.request, first.serializer);
  operation->setOutputStream(ns::OutputStream::toMemory(HCImageLoad::kMaximumBodyLength));
  auto shared = std::make_shared<SharedLoad>(SharedLoad{std::move(key), operation, {std::move(waiter)}});
  loadsOnTheirWay()[shared->key] = shared;
  operation->setCompletionBlockWithSuccess(
      [shared](const std::shared_ptr<HCHTTPRequestOperation>& completed, const std::optional<ns::Value>&) {
        forgetSharedLoad(*shared);
        for (const Waiter& each : std::exchange(shared->waiters, {})) {
          deliverImage(each, completed);
        }
      },
      [shared](const std::shared_ptr<HCHTTPRequestOperation>& failed, const ns::Error& error) {
        forgetSharedLoad(*shared);
        for (const Waiter& each : std::exchange(shared->waiters, {})) {
          deliverFailure(each, failed, error);
        }
      });
  first.queue->addOperation(operation);
  return operation;
}

}  // namespace

void HCImageLoad::start(HCImageLoad load) {
  QM_DCHECK_MAIN_THREAD();
  QM_DCHECK(load.view && load.show && load.cache && load.serializer && load.queue != nullptr,
            "the load names its view, slot, cache, serializer and queue");
  cancel(load.view, load.slot);
  if (std::shared_ptr<const uikit::Image> cached = load.cache->cachedImageForRequest(load.request)) {
    if (load.success) {
      load.success(std::nullopt, nullptr, cached);
    } else {
      load.show(*load.view, cached);
    }
    return;
  }
  if (load.placeholder) {
    load.show(*load.view, load.placeholder);
  }
  Waiter waiter{load.view,
                load.slot,
                load.request,
                load.show,
                load.cache,
                load.success,
                load.failure,
                load.supersededFailures,
                load.finishedOperation};
  // A request without a URL fails on its own.
  std::pair<std::string, const HCImageResponseSerializer*> key(
      load.request.url() ? load.request.url()->absoluteString() : std::string(), load.serializer.get());
  std::shared_ptr<HCHTTPRequestOperation> operation;
  if (const auto found = loadsOnTheirWay().find(key);
      load.request.url() && found != loadsOnTheirWay().end()) {
    found->second->waiters.push_back(std::move(waiter));
    operation = found->second->operation;
  } else {
    operation = startSharedLoad(std::move(key), load, std::move(waiter));
  }
  HCViewImageLoads::shared().exchangeOperation(load.view, load.slot, std::move(operation));
}

void HCImageLoad::cancel(const std::shared_ptr<uikit::View>& view, HCImageSlot slot) {
  QM_DCHECK_MAIN_THREAD();
  const std::shared_ptr<HCHTTPRequestOperation> operation =
      HCViewImageLoads::shared().exchangeOperation(view, slot, nullptr);
  if (!operation) {
    return;
  }
  const auto& loads = loadsOnTheirWay();
  const auto shared = std::find_if(loads.begin(), loads.end(),
                                   [&](const auto& entry) { return entry.second->operation == operation; });
  if (shared == loads.end()) {
    operation->cancel();
    return;
  }
  if (operation->isFinished()) {
    // Its outcome is on its way to the main loop; it still caches the image for every slot that waited.
    return;
  }
  // This slot stops waiting; the request goes on for the others, and stops when none is left. Either way
  // the slot's load ends as a cancelled one does, after this turn of the main loop.
  const std::shared_ptr<SharedLoad> load = shared->second;
  std::vector<Waiter>& waiters = load->waiters;
  const auto mine = std::find_if(waiters.begin(), waiters.end(), [&](const Waiter& waiter) {
    return waiter.view.lock() == view && waiter.slot == slot;
  });
  if (mine == waiters.end()) {
    return;
  }
  Waiter cancelled = std::move(*mine);
  waiters.erase(mine);
  if (waiters.empty()) {
    forgetSharedLoad(*load);
    operation->cancel();
  }
  ns::DispatchQueue::main().async([cancelled = std::move(cancelled), operation] {
    deliverFailure(cancelled, operation, ns::makeURLError(ns::kURLErrorCancelled, cancelled.request.url()));
  });
}

void HCImageLoad::resetForTesting() {
  QM_DCHECK_MAIN_THREAD();
  HCViewImageLoads::shared().removeAllForTesting();
  loadsOnTheirWay().clear();
  resetSharedImageCachesForTesting();
}

}  // namespace http_client
