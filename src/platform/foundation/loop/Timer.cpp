#include "platform/foundation/loop/Timer.h"

#include "platform/foundation/check/Check.h"

namespace ns {

Timer::Timer(RunLoop& loop, Duration interval, Repeats repeats, std::function<void(Timer&)> block)
    : loop_(loop), interval_(interval), repeats_(repeats), block_(std::move(block)) {}

std::shared_ptr<Timer> Timer::scheduled(RunLoop& loop, Duration interval, Repeats repeats,
                                        std::function<void(Timer&)> block) {
  QM_DCHECK(interval >= Duration::zero(), "interval >= 0");
  QM_DCHECK(loop.isCurrent(), "used on its loop's thread");
  auto timer = std::make_shared<Timer>(loop, interval, repeats, std::move(block));
  timer->fireDate_ = loop.now() + interval;
  loop.scheduleTimer(timer);
  return timer;
}

std::shared_ptr<Timer> Timer::scheduled(Duration interval, Repeats repeats,
                                        std::function<void(Timer&)> block) {
  return scheduled(RunLoop::current(), interval, repeats, std::move(block));
}

void Timer::invalidate() {
  QM_DCHECK(loop_.isCurrent(), "used on its loop's thread");
  if (valid_.exchange(false)) {
    loop_.unscheduleTimer(*this);
  }
}

void Timer::fire() {
  QM_DCHECK(loop_.isCurrent(), "used on its loop's thread");
  if (!valid_) {
    return;
  }
  // The block may drop the last outside reference to this timer; keep it alive until the block returns.
  const std::shared_ptr<Timer> self = weak_from_this().lock();
  block_(*this);
  if (repeats_ == Repeats::kNo) {
    invalidate();
  }
}

void Timer::setFireDate(TimePoint date) {
  QM_DCHECK(loop_.isCurrent(), "used on its loop's thread");
  if (!valid_) {
    return;
  }
  loop_.unscheduleTimer(*this);
  fireDate_ = date;
  loop_.scheduleTimer(shared_from_this());
}

}  // namespace ns
