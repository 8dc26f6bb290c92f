#include "learning/player/ZBPlayerBanner.h"

#include "app/store/ConsoleLog.h"

namespace learning {

// The build's date and time live in this small file of their own, so that only it is compiled anew.
std::string ZBPlayerBanner::text() {
  const std::string indent(15, ' ');
  std::string banner = "\n";
  for (const std::string& line :
       {std::string(22, '~'), std::string("== ZBVideoPlayer - Portrait & Landscape =="), std::string(),
        std::string("Version 2.1.2"), std::string("Archive ") + __DATE__ + " " + __TIME__,
        std::string(21, '~'), std::string()}) {
    banner += indent + line + "\n";
  }
  return banner;
}

void ZBPlayerBanner::print() {
  app::consoleLogLines(text());
}

}  // namespace learning
