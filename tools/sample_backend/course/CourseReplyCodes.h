#pragma once

// The codes of the client's error table that the study paths answer with, beside those of ApiReply.h.
// Thread-safe: constants.

namespace sample_backend::course {

inline constexpr int kCodeNoSuchVideo = 9711;
inline constexpr int kCodeNoSuchProduct = 9723;
inline constexpr int kCodeBadRealName = 9730;
inline constexpr int kCodeBadIdentityCard = 9802;

}  // namespace sample_backend::course
