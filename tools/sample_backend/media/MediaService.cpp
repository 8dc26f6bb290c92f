#include "sample_backend/media/MediaService.h"

#include <algorithm>

#include "sample_backend/api/FormBody.h"
#include "sample_backend/media/LessonPlaylist.h"
#include "sample_backend/media/MediaPaths.h"
#include "sample_backend/media/SampleImages.h"
#include "sample_backend/media/SignedPlaylistCheck.h"

namespace sample_backend::media {
namespace {

constexpr std::string_view kJsonContentType = "application/json;charset=UTF-8";

MediaReply plainReply(unsigned status, std::string_view text) {
  return MediaReply{status, "text/plain", std::string(text)};
}

// Returns `reply` as `fault` changes it; without a fault, `reply` itself.
MediaReply withFault(MediaReply reply, const std::optional<MediaFault>& fault) {
  if (!fault) {
    return reply;
  }
  if (fault->failWithStatus) {
    reply = plainReply(*fault->failWithStatus, "failed by a test control");
  }
  if (fault->contentType) {
    reply.contentType = *fault->contentType;
  }
  if (fault->body) {
    reply.body = *fault->body;
  }
  if (fault->truncateAfterBytes) {
    reply.ending = MediaReply::Ending::kCloseAfter;
    reply.endAfterBytes = *fault->truncateAfterBytes;
  }
  if (fault->dropAfterBytes) {
    reply.ending = MediaReply::Ending::kResetAfter;
    reply.endAfterBytes = *fault->dropAfterBytes;
  }
  reply.pieceSize = fault->pieceSize;
  reply.pauseBetweenPieces = fault->pauseBetweenPieces;
  return reply;
}

}  // namespace

MediaService::MediaService(std::shared_ptr<api::ApiService> api, std::shared_ptr<const MediaLibrary> library)
    : api_(std::move(api)), library_(std::move(library)) {}

MediaReply MediaService::answer(std::string_view method, std::string_view target, std::string_view host) {
  const std::size_t queryStart = target.find('?');
  const std::string_view path = target.substr(0, queryStart);
  const std::string_view query = queryStart == std::string_view::npos ? "" : target.substr(queryStart + 1);
  std::string refusal;
  MediaReply reply;
  if (method != "GET") {
    reply = plainReply(405, "only GET is served");
  } else if (path == kSignedPlaylistPath) {
    reply = playlistReply(query, host, refusal);
  } else if (path == kLessonKeyPath) {
    reply = MediaReply{200, "application/octet-stream", ns::stringFromData(library_->key())};
  } else if (std::optional<SampleImage> image = sampleImageAtPath(path)) {
    reply = MediaReply{200, std::move(image->contentType), ns::stringFromData(image->bytes)};
  } else {
    reply = segmentReply(path);
  }
  {
    ns::MutexLock lock(mutex_);
    recorded_.push_back({std::string(target), reply.status, std::move(refusal)});
  }
  recordedChanged_.notify_all();
  return reply;
}

MediaReply MediaService::playlistReply(std::string_view query, std::string_view host, std::string& refusal) {
  const std::optional<MediaFault> fault = controls_.takePlaylistFault();
  const auto parameters = api::decodeFormBody(query);
  if (std::optional<api::ApiReply> refused = checkSignedPlaylistRequest(
          parameters, api_->catalogue(), api_->sessions(), api_->controls().serverTime())) {
    refusal = refused->message;
    return withFault(MediaReply{403, std::string(kJsonContentType), refused->body(api::CodeForm::kNumber)},
                     fault);
  }
  std::string baseURL = "http://";
  baseURL.append(host);
  return withFault(
      MediaReply{200, std::string(kPlaylistContentType),
                 lessonPlaylist(*library_, baseURL, parameters.at("videoId"), parameters.at("time"))},
      fault);
}

MediaReply MediaService::segmentReply(std::string_view path) {
  const std::optional<SegmentAddress> address = parseSegmentPath(path);
  if (!address || address->index >= library_->segmentCount()) {
    return plainReply(404, "no such resource");
  }
  return withFault(MediaReply{200, std::string(kSegmentContentType),
                              ns::stringFromData(library_->encryptedSegment(address->index))},
                   controls_.takeSegmentFault(address->index));
}

std::vector<RecordedMediaRequest> MediaService::recordedRequests() const {
  ns::MutexLock lock(mutex_);
  return recorded_;
}

bool MediaService::waitForRequest(const std::function<bool(const RecordedMediaRequest&)>& matches,
                                  std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  ns::MutexLock lock(mutex_);
  while (!std::any_of(recorded_.begin(), recorded_.end(), matches)) {
    if (lock.waitUntil(recordedChanged_, deadline) == std::cv_status::timeout) {
      return std::any_of(recorded_.begin(), recorded_.end(), matches);
    }
  }
  return true;
}

void MediaService::clearRecordedRequests() {
  ns::MutexLock lock(mutex_);
  recorded_.clear();
}

}  // namespace sample_backend::media
