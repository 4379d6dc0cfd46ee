#pragma once
// Quoting for the POSIX shell: the result is read by sh as exactly one word, byte for byte.

#include <string>
#include <string_view>

namespace qarvel::bridge {

// Wraps the text in single quotes; each single quote inside becomes '\'' (close, escaped
// quote, reopen). Nothing else is special between single quotes, so blanks, $, `, \, " and
// any non-ASCII bytes pass as they are.
std::string ShellQuote(std::string_view text);

} // namespace qarvel::bridge
