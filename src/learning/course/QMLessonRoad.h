#pragma once

// QMLessonRoad: how the playback screen plays a chosen lesson. A lesson downloaded completely (record
// status 5) plays offline from the lesson server, whatever the network. Any other lesson plays online,
// except on a cellular network while the learner's Wi-Fi-only play switch is on and no choice is
// remembered: then the learner is asked first, and nothing is fetched or played before the answer.
//
// Thread-safety: main thread only, as the store and the session it reads.

#include "platform/outside/NetworkStatus.h"

namespace app {
class QMCourse;
class QMUser;
}  // namespace app

namespace learning {

enum class QMLessonRoad {
  kOffline,
  kOnline,
  // Online, once the learner has answered the cellular question.
  kAskFirst,
};

// Whether `lesson` is downloaded completely (its record's status is 5).
bool isLessonDownloaded(const app::QMCourse& lesson);

// Whether an online play on `network` must wait for the learner's answer to the cellular question.
bool mustAskBeforeOnlinePlay(outside::NetworkStatus network, const app::QMUser& user);

// The road of `lesson` on `network` for `user`, as the header comment says.
QMLessonRoad lessonRoadFor(const app::QMCourse& lesson, outside::NetworkStatus network,
                           const app::QMUser& user);

}  // namespace learning
