#pragma once

// The cache of sample lessons: the unencrypted segments of one lesson kept in one file, so that a back end
// that starts again reads them instead of encoding them again. The file's name is made of every setting the
// lesson's bytes depend on (its size, frame rate, segments, seed and the encoders' settings:
// lessonEncodingDescription()), so lessons of two settings keep two files and never overwrite each other.
// The file holds the encoding version and that description and ends with a SHA-1 digest of everything
// before it: a file that is damaged, cut short, of other settings or made by another version of the
// encoding is never used, and is replaced when the lesson is made afresh.
// Thread-safe: pure functions over the file system; a reader sees a whole file or none, even while another
// process replaces it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Result.h"
#include "sample_backend/media/LessonEncoding.h"

namespace sample_backend::media {

// Returns the path of the file of `shape`'s lesson in `folder`: "lesson-<width>x<height>-<rate>fps-
// <segments>x<frames>-<seed>-<digest>.cache", the digest naming the rest of its settings.
std::string cachedLessonPath(std::string_view folder, const LessonShape& shape);

// Returns the segments in the file at `path` when it is whole and holds `shape`'s lesson as this version of
// the encoding makes it; std::nullopt otherwise.
std::optional<std::vector<ns::Data>> readCachedLesson(const std::string& path, const LessonShape& shape);

// Writes `segments`, `shape`'s lesson, to the file at `path`, replacing any file there.
// REQUIRES: the folder of `path` exists.
ns::Status writeCachedLesson(const std::string& path, const LessonShape& shape,
                             const std::vector<ns::Data>& segments);

}  // namespace sample_backend::media
