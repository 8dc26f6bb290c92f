#pragma once

// learning::ZBPlayerBanner: the banner the player library prints when a player is made: a line feed, then
// seven lines indented by 15 blanks naming the library, its version and the date and time it was built.
//
// Thread-safety: any thread.

#include <string>

namespace learning {

class ZBPlayerBanner {
 public:
  // Returns the banner's text, each line ended by a line feed.
  static std::string text();
  // Writes the banner to the console log (app::consoleLog()), a console line for each of its lines.
  static void print();
};

}  // namespace learning
