#include "main/terminal/TerminalCommand.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

#include "main/terminal/UsageError.h"

namespace terminal {

namespace {

using Kind = TerminalCommand::Kind;

// The longest wait a command may ask for: a day.
constexpr double kLongestSeconds = 24 * 60 * 60;

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && isBlank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

// A word split off the front of a text, and the text after it (trimmed).
struct Split {
  std::string word;
  std::string_view rest;
};

// Splits the first word off `text` (trimmed): a quoted word, or the characters up to the next blank.
ns::Result<Split> splitWord(std::string_view text) {
  if (!text.starts_with('"')) {
    std::size_t end = 0;
    while (end < text.size() && !isBlank(text[end])) {
      ++end;
    }
    return Split{std::string(text.substr(0, end)), trimmed(text.substr(end))};
  }
  std::string word;
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (text[i] == '"') {
      return Split{std::move(word), trimmed(text.substr(i + 1))};
    }
    if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\')) {
      ++i;
    }
    word += text[i];
  }
  return usageError("a quoted argument has no closing \"");
}

// Whether `word` is a number a command could take as seconds: a finite one, 0 or more.
bool isSeconds(std::string_view word) {
  double seconds = 0;
  const auto [end, failure] = std::from_chars(word.data(), word.data() + word.size(), seconds);
  return !word.empty() && failure == std::errc() && end == word.data() + word.size() &&
         std::isfinite(seconds) && seconds >= 0;
}

// Reads `word` as the seconds `command` waits. Returns them, or an error that says what is wrong.
ns::Result<ns::Duration> secondsIn(std::string_view word, const std::string& command) {
  if (!isSeconds(word)) {
    return usageError(command + ": \"" + std::string(word) + "\" is not a number of seconds");
  }
  double seconds = 0;
  std::from_chars(word.data(), word.data() + word.size(), seconds);
  if (seconds > kLongestSeconds) {
    return usageError(command + ": " + std::string(word) +
                      " seconds is more than a day (86400 seconds), the longest a command waits");
  }
  return std::chrono::duration_cast<ns::Duration>(std::chrono::duration<double>(seconds));
}

ns::Error needs(const std::string& command, const std::string& what) {
  return usageError(command + " needs " + what + "; type help for the commands");
}

// Reads `rest` as the last argument of `command`: one quoted word with nothing after it, or the rest as it
// is.
ns::Result<std::string> lastArgument(std::string_view rest, const std::string& command,
                                     const std::string& what) {
  if (!rest.starts_with('"')) {
    if (rest.empty()) {
      return needs(command, what);
    }
    return std::string(rest);
  }
  ns::Result<Split> split = splitWord(rest);
  if (!split.ok()) {
    return split.error();
  }
  if (!split->rest.empty()) {
    return usageError(command + " takes nothing after its quoted " + what);
  }
  return std::move(split->word);
}

ns::Result<TerminalCommand> parseWaitFor(std::string_view rest) {
  TerminalCommand command{Kind::kWaitFor, {}, {}, TerminalCommand::kDefaultWaitForTimeout};
  std::string_view secondsWord;
  if (rest.starts_with('"')) {
    ns::Result<Split> split = splitWord(rest);
    if (!split.ok()) {
      return split.error();
    }
    command.target = std::move(split->word);
    secondsWord = split->rest;
  } else {
    const std::size_t lastBlank = rest.find_last_of(" \t");
    const bool lastWordIsNumber =
        lastBlank != std::string_view::npos && isSeconds(rest.substr(lastBlank + 1));
    command.target = std::string(lastWordIsNumber ? trimmed(rest.substr(0, lastBlank)) : rest);
    secondsWord = lastWordIsNumber ? rest.substr(lastBlank + 1) : std::string_view();
    if (command.target.empty()) {
      return needs("waitfor", "the text to wait for");
    }
  }
  if (!secondsWord.empty()) {
    ns::Result<ns::Duration> timeout = secondsIn(secondsWord, "waitfor");
    if (!timeout.ok()) {
      return timeout.error();
    }
    command.duration = *timeout;
  }
  return command;
}

ns::Result<TerminalCommand> parseType(std::string_view rest) {
  ns::Result<Split> field = splitWord(rest);
  if (!field.ok()) {
    return field.error();
  }
  if (field->word.empty()) {
    return needs("type", "a field and a text");
  }
  TerminalCommand command{Kind::kType, std::move(field->word), {}, {}};
  if (field->rest.starts_with('"')) {
    ns::Result<std::string> text = lastArgument(field->rest, "type", "text");
    if (!text.ok()) {
      return text.error();
    }
    command.text = std::move(text).value();
  } else if (field->rest.empty()) {
    return needs("type", "a text after the field (\"\" types an empty one)");
  } else {
    command.text = std::string(field->rest);
  }
  return command;
}

ns::Result<TerminalCommand> parseWait(std::string_view rest) {
  if (rest.empty()) {
    return needs("wait", "a number of seconds");
  }
  ns::Result<ns::Duration> duration = secondsIn(rest, "wait");
  if (!duration.ok()) {
    return duration.error();
  }
  return TerminalCommand{Kind::kWait, {}, {}, *duration};
}

// The longest pan: farther than any screen is wide.
constexpr double kLongestPan = 10000;

ns::Result<TerminalCommand> parsePan(std::string_view rest) {
  constexpr char kWhat[] = "a view, a direction (left, right, up or down) and a number of points";
  ns::Result<Split> view = splitWord(rest);
  if (!view.ok()) {
    return view.error();
  }
  ns::Result<Split> directionWord = splitWord(view->rest);
  if (!directionWord.ok()) {
    return directionWord.error();
  }
  const Split& direction = *directionWord;
  ns::Result<Split> pointsWord = splitWord(direction.rest);
  if (!pointsWord.ok()) {
    return pointsWord.error();
  }
  const Split& points = *pointsWord;
  if (view->word.empty() || direction.word.empty() || points.word.empty()) {
    return needs("pan", kWhat);
  }
  static const std::pair<const char*, uikit::Point> kDirections[] = {
      {"left", {-1, 0}}, {"right", {1, 0}}, {"up", {0, -1}}, {"down", {0, 1}}};
  const auto* named = std::find_if(std::begin(kDirections), std::end(kDirections),
                                   [&](const auto& entry) { return direction.word == entry.first; });
  if (named == std::end(kDirections)) {
    return usageError("pan: \"" + direction.word + "\" is not left, right, up or down");
  }
  double distance = 0;
  const auto [end, failure] =
      std::from_chars(points.word.data(), points.word.data() + points.word.size(), distance);
  if (failure != std::errc() || end != points.word.data() + points.word.size() || !std::isfinite(distance) ||
      distance <= 0 || distance > kLongestPan) {
    return usageError("pan: \"" + points.word + "\" is not a number of points from 1 to 10000");
  }
  TerminalCommand command{Kind::kPan, std::move(view->word), {}, {}};
  command.panTranslation = {named->second.x * distance, named->second.y * distance};
  if (points.rest == "left") {
    command.panStart = uikit::Driver::PanStart::kLeftHalf;
  } else if (points.rest == "right") {
    command.panStart = uikit::Driver::PanStart::kRightHalf;
  } else if (!points.rest.empty()) {
    return usageError("pan: \"" + std::string(points.rest) + "\" is not left or right, the half to start in");
  }
  return command;
}

ns::Result<TerminalCommand> parseNetwork(std::string_view rest) {
  const std::optional<outside::NetworkStatus> status = outside::networkStatusFromName(rest);
  if (!status) {
    return rest.empty() ? needs("network", "none, wifi or cellular")
                        : usageError("network: \"" + std::string(rest) + "\" is not none, wifi or cellular");
  }
  TerminalCommand command{Kind::kNetwork, {}, {}, {}};
  command.network = *status;
  return command;
}

ns::Result<TerminalCommand> parseNamed(Kind kind, std::string_view rest, const std::string& command,
                                       const std::string& what) {
  ns::Result<std::string> target = lastArgument(rest, command, what);
  if (!target.ok()) {
    return target.error();
  }
  return TerminalCommand{kind, std::move(target).value(), {}, {}};
}

ns::Result<TerminalCommand> parseBare(Kind kind, std::string_view rest, const std::string& command) {
  if (!rest.empty()) {
    return usageError(command + " takes no arguments");
  }
  return TerminalCommand{kind, {}, {}, {}};
}

ns::Result<TerminalCommand> parseCommand(const std::string& word, std::string_view rest) {
  if (word == "tap") {
    return parseNamed(Kind::kTap, rest, word, "the text or id of what to tap");
  }
  if (word == "pull") {
    return parseNamed(Kind::kPull, rest, word, "the text or id of the list to pull down");
  }
  if (word == "type") {
    return parseType(rest);
  }
  if (word == "pan") {
    return parsePan(rest);
  }
  if (word == "alert") {
    return parseNamed(Kind::kAlert, rest, word, "the title of a button of the alert");
  }
  if (word == "wait") {
    return parseWait(rest);
  }
  if (word == "waitfor") {
    return parseWaitFor(rest);
  }
  if (word == "network") {
    return parseNetwork(rest);
  }
  if (word == "scroll") {
    return parseNamed(Kind::kScroll, rest, word, "the id of the list to scroll");
  }
  if (word == "picture") {
    return parseNamed(Kind::kPicture, rest, word, "the PNG file to write");
  }
  static const std::pair<const char*, Kind> kBareCommands[] = {{"show", Kind::kShow},
                                                               {"back", Kind::kBack},
                                                               {"messages", Kind::kMessages},
                                                               {"quit", Kind::kQuit},
                                                               {"help", Kind::kHelp}};
  for (const auto& [name, kind] : kBareCommands) {
    if (word == name) {
      return parseBare(kind, rest, word);
    }
  }
  return usageError("there is no command \"" + word + "\"; type help for the commands");
}

// Returns the first control character of `line` other than the blanks, or std::nullopt.
std::optional<unsigned char> controlCharacterIn(std::string_view line) {
  for (const char c : line) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 || byte == 0x7f) && !isBlank(c)) {
      return byte;
    }
  }
  return std::nullopt;
}

}  // namespace

ns::Result<std::optional<TerminalCommand>> TerminalCommand::parse(std::string_view line, LineSource source) {
  if (const std::optional<unsigned char> control = controlCharacterIn(line)) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    const std::string hex = std::string("0x") + kHexDigits[*control >> 4] + kHexDigits[*control & 0xf];
    return usageError(source == LineSource::kTyped
                          ? "the line holds the control character " + hex +
                                " (a key the prompt does not edit with); type it again"
                          : "the line holds the control byte " + hex + ", which no command takes");
  }
  const std::string_view text = trimmed(line);
  if (text.empty() || text.starts_with('#')) {
    return std::optional<TerminalCommand>();
  }
  ns::Result<Split> command = splitWord(text);
  if (!command.ok()) {
    return command.error();
  }
  ns::Result<TerminalCommand> parsed = parseCommand(command->word, command->rest);
  if (!parsed.ok()) {
    return parsed.error();
  }
  return std::optional<TerminalCommand>(std::move(parsed).value());
}

std::optional<std::string> TerminalCommand::secondWord(std::string_view line) {
  ns::Result<Split> command = splitWord(trimmed(line));
  if (!command.ok() || command->rest.empty()) {
    return std::nullopt;
  }
  ns::Result<Split> second = splitWord(command->rest);
  return second.ok() ? std::optional<std::string>(std::move(second->word)) : std::nullopt;
}

std::string TerminalCommand::helpText() {
  return "Commands (each prints the screen afterwards):\n"
         "  show                            print the screen\n"
         "  tap <text or id>                tap the view or alert button with that text or id (the\n"
         "                                  player's picture is the surface playerTouch: tap it to show the\n"
         "                                  controls)\n"
         "  type <field id or placeholder> <text>\n"
         "                                  type the text into the field, replacing what it held\n"
         "  alert <button title>            answer the alert with that button\n"
         "  pull <text or id>               pull the list with that text or id down to refresh it\n"
         "  pan <text or id> left|right|up|down <points> [left|right]\n"
         "                                  move a finger that far over the view, from its middle or from\n"
         "                                  the middle of the half named last; over the player's surface\n"
         "                                  left and right seek, up and down change the brightness (left\n"
         "                                  half) or the volume (right half); over a list, up shows the\n"
         "                                  rows below\n"
         "  back                            go back, as the screen's back or leave button does, shown or\n"
         "                                  hidden\n"
         "  scroll <id>                     swipe the list with that id up to its end (lists load more "
         "there)\n"
         "  wait <seconds>                  let the application run that long\n"
         "  waitfor <text> [seconds]        run until the screen or a failed request's line shows the text "
         "(at\n"
         "                                  most 10 s by default)\n"
         "  messages                        list the toasts, alerts and HUD texts shown lately\n"
         "  network none|wifi|cellular      switch the simulated network link\n"
         "  picture <FILE.png>              write the picture the player shows to a PNG file\n"
         "  quit                            end the application\n"
         "  help                            this list\n"
         "Quote an argument (\"...\") to keep spaces at its ends or to make it empty. Lines starting with #\n"
         "are comments.\n";
}

}  // namespace terminal
