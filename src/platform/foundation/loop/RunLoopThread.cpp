#include "platform/foundation/loop/RunLoopThread.h"

#include <future>
#include <thread>

#include "platform/foundation/loop/ThreadName.h"

namespace ns {

// Shared with the thread itself, so that a thread left to end on its own never touches a released object.
struct RunLoopThread::State {
  explicit State(std::string threadName) : name(std::move(threadName)) {}

  // Constant after construction
  const std::string name;
  RunLoop* loop = nullptr;  // set before the constructor returns; destroyed with the thread
  std::thread thread;

  bool exitRequested = false;  // the thread's own
};

RunLoopThread::RunLoopThread(std::string name) : state_(std::make_shared<State>(std::move(name))) {
  std::promise<RunLoop*> started;
  std::future<RunLoop*> loop = started.get_future();
  state_->thread = std::thread([state = state_, &started] {
    setCurrentThreadName(state->name);
    RunLoop& current = RunLoop::current();
    started.set_value(&current);
    // run() also returns when someone else calls stop(); only the release ends the thread.
    while (!state->exitRequested) {
      current.run();
    }
  });
  state_->loop = loop.get();
}

RunLoopThread::~RunLoopThread() {
  // Asked first: once the exit task is posted, the loop may end (and be destroyed) at any moment.
  const bool onOwnThread = isCurrent();
  state_->loop->post([state = state_] {
    state->exitRequested = true;
    state->loop->stop();
  });
  if (onOwnThread) {
    state_->thread.detach();
  } else {
    state_->thread.join();
  }
}

RunLoop& RunLoopThread::runLoop() const {
  return *state_->loop;
}

const std::string& RunLoopThread::name() const {
  return state_->name;
}

bool RunLoopThread::isCurrent() const {
  return state_->loop->isCurrent();
}

}  // namespace ns
