#pragma once

// uikit::printableText: a text as the screen text shows it, safe to print on a terminal. Texts come from the
// back end, from web pages and from people, and a terminal acts on some of their bytes: an escape sequence
// clears the screen or sets the window's title, a line feed or carriage return starts a line that a script
// would read as a view of its own. So control characters are shown as what they are (\e, \r, \n, \t, and
// \xHH for the other C0 controls and DEL, \u0080 to \u009F for the C1 controls), and bytes that are not
// UTF-8 become U+FFFD, one for each maximal ill-formed part. Every other text comes out as it went in, and
// the result passes through unchanged.
//
// Thread-safe: a pure function.

#include <string>
#include <string_view>

namespace uikit {

std::string printableText(std::string_view text);

}  // namespace uikit
