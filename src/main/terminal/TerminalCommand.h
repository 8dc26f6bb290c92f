#pragma once

// TerminalCommand: one command of the terminal front end, as read from a line a person typed or a script
// holds. The commands:
//
//   show                          print the screen
//   tap <text or id>              tap the view (or alert button) showing that text or named by that id
//   type <field id or placeholder> <text>
//                                 type the text into that field, replacing what it held
//   alert <button title>          answer the alert on screen with that button
//   pull <text or id>             pull the list showing that text (or named by that id) down to refresh it
//   pan <text or id> left|right|up|down <points> [left|right]
//                                 move a finger that far over the view, from its middle or the middle of
//                                 the half named last (the player's surface: seek, volume, brightness)
//   back                          go back, as the screen's back or leave button does
//   wait <seconds>                let the application run that long
//   waitfor <text> [seconds]      let it run until the screen shows the text (10 seconds at most by default)
//   messages                      list the toasts, alerts and HUD texts shown lately, with their times
//   network none|wifi|cellular    switch the simulated network link
//   picture <FILE.png>            write the picture a player shows to that PNG file (the rest of the line)
//   quit                          end the application
//   help                          list the commands
//
// A line is read as: the command word, then its arguments. Blank lines and lines that start with "#" hold no
// command. An argument that must keep spaces at its ends, or be empty, is written in double quotes, with \"
// and \\ for a quote and a backslash inside. Unquoted, the last argument of tap, pull, alert, type and
// waitfor is the rest of the line; waitfor takes a last word that is a number as its seconds. A wait longer
// than a day is refused. A line that holds a control character other than a tab (an arrow key typed without
// line editing, say) is refused whole, so that no such character reaches a command.
//
// Thread-safe as a value.

#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/values/Result.h"
#include "platform/outside/NetworkStatus.h"
#include "platform/uikit/driver/Driver.h"
#include "platform/uikit/geometry/Geometry.h"

namespace terminal {

struct TerminalCommand {
  enum class Kind {
    kShow,
    kTap,
    kType,
    kAlert,
    kBack,
    kScroll,
    kWait,
    kWaitFor,
    kMessages,
    kNetwork,
    kQuit,
    kHelp,
    kPicture,
    kPull,
    kPan
  };

  static constexpr std::chrono::seconds kDefaultWaitForTimeout{10};

  Kind kind = Kind::kShow;
  // What tap, type, pan and scroll name, the alert button's title, the text waitfor waits for, or the file
  // picture writes.
  std::string target;
  // What type types.
  std::string text;
  // How long wait runs, or how long waitfor waits at most.
  ns::Duration duration{};
  // The link network switches to.
  outside::NetworkStatus network = outside::ReachableViaWiFi;
  // How far pan moves its finger, and where it comes down.
  uikit::Point panTranslation{};
  uikit::Driver::PanStart panStart = uikit::Driver::PanStart::kMiddle;

  // Where a line comes from, for what its errors say.
  enum class LineSource { kTyped, kScript };

  // Returns the command on `line`, std::nullopt for a line that holds none, or an error (kUsageErrorDomain)
  // saying what is wrong: a control character (for a typed line, a key to type again; for a script's, a
  // bad byte), an unknown command, a missing or surplus argument, a number that is not one or waits longer
  // than a day, an unclosed quote.
  static ns::Result<std::optional<TerminalCommand>> parse(std::string_view line,
                                                          LineSource source = LineSource::kTyped);

  // Returns the word after the first word of `line`, quoted or not: the view that tap, type and the like
  // name, whether or not the line reads as a command. std::nullopt when there is none.
  static std::optional<std::string> secondWord(std::string_view line);

  // The list of commands a person reads.
  static std::string helpText();
};

}  // namespace terminal
