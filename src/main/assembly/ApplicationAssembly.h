#pragma once

// ApplicationAssembly: the one place where the application's parts are put together, for the executable and
// for whatever else runs the whole application. It points the process at its home folder (after checking
// that every folder of it the application writes into can be used), its console log (a file in the home),
// the network link in force (the simulated one when chosen or when the back end is on this machine, else
// the machine's own) and its back end (starting the sample back end inside the process when no web host
// is given, with its state kept under the home), connects the parts that meet only at run time, and
// launches the application with AppDelegate. Destroying the assembly terminates the application, ends the
// back-end requests still in flight, then stops the embedded back end. The console stays pointed at the file,
// for the lines of the process's end.
//
// The parts it connects: the session pauses downloads through the download manager; the object store asks
// the session for the current learner; the "User", "Course" and "More" storyboards register their scenes; the
// media engine's sound output plays at the system volume, following its changes; requests of the request
// layer that fail while the screen that started them is shown reach the failed-request handler (the
// terminal, which says so, since the screens say nothing of a failure on the way); the sound output's line
// about a missing sound device goes to the console each time, and to the notice handler once a run.
//
// Thread-safety: main thread only, like the application it launches. One assembly a process at a time.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "main/assembly/AssemblyError.h"
#include "main/terminal/HostAndPort.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/foundation/values/Result.h"
#include "platform/outside/NetworkStatus.h"
#include "platform/uikit/controllers/ViewController.h"
#include "sample_backend/SampleBackend.h"

namespace assembly {

class ApplicationAssembly {
 public:
  // The embedded back end's state folder, inside the home folder.
  static constexpr char kBackendStateFolderName[] = "sample-backend";
  // The console log's file, inside the home folder (terminal::ConsoleLogFile); "console.log.1" is the one
  // before.
  static constexpr char kConsoleLogFileName[] = "console.log";

  // Hears of a request that failed: the path of its URL, and the error.
  using FailedRequestHandler = std::function<void(const std::string& path, const ns::Error& error)>;
  // Hears of what a person is to be told once a run, though the console says it each time: a line.
  using NoticeHandler = std::function<void(const std::string& line)>;

  struct Settings {
    // The home folder (ns::Sandbox); the environment's choice when not given.
    std::optional<std::string> home;
    // The back end; the embedded sample back end when not given.
    std::optional<terminal::HostAndPort> webHost;
    // The play-statistics server; the embedded back end's when not given and that one runs.
    std::optional<terminal::HostAndPort> statsServer;
    // The simulated network's status; when not given, the simulation starts on Wi-Fi if the back end is on
    // this machine (embedded, or on a loopback host), else the machine's own network is followed.
    std::optional<outside::NetworkStatus> network;
    // Whether console lines also go to standard error, besides the console log.
    bool verboseConsole = false;
  };

  // Sets the process up as `settings` say and launches the application. Returns the running assembly, owned
  // by the caller, or an error in kAssemblyErrorDomain (AssemblyError.h) before anything launched:
  // kUnusableHome (naming the folder and why) when something cannot be saved in the home folder,
  // kBackendCannotStart (with the reason) when the embedded back end cannot start.
  // REQUIRES: no other assembly alive; statsServer, when given, has a port.
  static ns::Result<std::unique_ptr<ApplicationAssembly>> launch(const Settings& settings);

  ~ApplicationAssembly();
  ApplicationAssembly(const ApplicationAssembly&) = delete;
  ApplicationAssembly& operator=(const ApplicationAssembly&) = delete;

  // The embedded sample back end; nullptr when the settings named a web host.
  const sample_backend::SampleBackend* embeddedBackend() const { return backend_.get(); }

  // Sets who hears of the requests of the request layer that fail from now on while the screen shown when
  // they started is still shown (not of those cancelled), on the main thread; an empty handler hears
  // nothing.
  void setFailedRequestHandler(FailedRequestHandler handler);
  // Sets who hears, on the main thread, of the notices said from now on (the first missing sound device
  // of the run); an empty handler hears nothing, and the notice counts as said.
  void setNoticeHandler(NoticeHandler handler);

  // Connects the parts that meet only at run time (the header comment's list). launch() calls it; tests
  // that run several parts together without launching call it too, so that they are wired as the
  // application is.
  static void connectParts();

 private:
  explicit ApplicationAssembly(std::unique_ptr<sample_backend::SampleBackend> backend);
  // Cancels the requests of the request layer and waits for them to end.
  void endRequestsInFlight();
  // Notes the screen shown when a request starts.
  void noteStartingScreen(const ns::Notification& notification);
  void reportIfFailed(const ns::Notification& notification);

  // Constant after construction
  const std::unique_ptr<sample_backend::SampleBackend> backend_;
  const ns::NotificationCenter::ObserverToken requestStarts_;
  const ns::NotificationCenter::ObserverToken requestEnds_;

  FailedRequestHandler failedRequestHandler_;
  // The screen each request on its way started on, by its operation, until it finishes.
  std::map<const void*, std::weak_ptr<uikit::ViewController>> startingScreens_;
  // Shared with the sound output's reporter, which may call from any thread and outlive the assembly.
  struct Notices;
  const std::shared_ptr<Notices> notices_;
};

}  // namespace assembly
