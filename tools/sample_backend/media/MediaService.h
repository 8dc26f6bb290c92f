#pragma once

// sample_backend::media::MediaService: the back end's video service without its transport. It answers
// GET requests for the signed lesson playlist ("/class/video/get/m3u8/v2", checked as
// SignedPlaylistCheck.h says and sent as "application/x-mpegURL;charset=utf-8"), the lesson key and the
// encrypted segments ("video/MP2T") of its MediaLibrary and the sample pictures (SampleImages.h), applies the
// faults its controls hold, and records every request for tests to read. ApiServer carries it over HTTP
// beside the JSON API, which supplies the catalogue, the sessions and the server time.
//
// Thread-safety: answer(), the record and the controls may be used from any thread.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/check/Mutex.h"
#include "sample_backend/api/ApiService.h"
#include "sample_backend/media/MediaControls.h"
#include "sample_backend/media/MediaLibrary.h"
#include "sample_backend/media/MediaReply.h"

namespace sample_backend::media {

inline constexpr std::string_view kPlaylistContentType = "application/x-mpegURL;charset=utf-8";
inline constexpr std::string_view kSegmentContentType = "video/MP2T";

struct RecordedMediaRequest {
  // The request target: path and query.
  std::string target;
  unsigned status = 0;
  // Why a playlist request was refused; empty otherwise.
  std::string refusal;
};

class MediaService {
 public:
  MediaService(std::shared_ptr<api::ApiService> api, std::shared_ptr<const MediaLibrary> library);

  // Returns the reply to `method` `target` sent to `host` (the request's "Host", which the playlist's URLs
  // name): 405 for a method other than GET, 404 for an unknown path or segment, 403 with a JSON refusal
  // for a playlist request that fails its checks, else 200 with the resource.
  MediaReply answer(std::string_view method, std::string_view target, std::string_view host);

  MediaControls& controls() { return controls_; }
  const MediaLibrary& library() const { return *library_; }

  // Returns every request received so far, in order of arrival.
  std::vector<RecordedMediaRequest> recordedRequests() const;
  // Waits until a request for which `matches` holds has been recorded (those recorded before the call count
  // too), for at most `timeout`. Returns whether one was. A request is recorded before its reply goes out, so
  // a test can act while a slow reply is still on its way.
  bool waitForRequest(const std::function<bool(const RecordedMediaRequest&)>& matches,
                      std::chrono::milliseconds timeout) const;
  void clearRecordedRequests();

 private:
  MediaReply playlistReply(std::string_view query, std::string_view host, std::string& refusal);
  MediaReply segmentReply(std::string_view path);

  // Constant after construction
  const std::shared_ptr<api::ApiService> api_;
  const std::shared_ptr<const MediaLibrary> library_;

  MediaControls controls_;
  mutable ns::Mutex mutex_;
  mutable std::condition_variable recordedChanged_;
  std::vector<RecordedMediaRequest> recorded_ QM_GUARDED_BY(mutex_);
};

}  // namespace sample_backend::media
