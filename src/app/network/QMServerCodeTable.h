#pragma once

// The client's own texts for the back end's reply codes; the server's message is never shown.
// Thread-safe: a pure function.

#include <cstdint>
#include <string>

namespace app {

// Returns the text of `code`: the table's entry, or "网络错误" for 0 and every code the table lacks.
std::string serverCodeText(std::int64_t code);

}  // namespace app
