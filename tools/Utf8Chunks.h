#pragma once
// Output read from a growing file arrives in pieces that may end inside a UTF-8 sequence.

#include <cstddef>
#include <string_view>

namespace qarvel::bridge {

// Length of the longest prefix of the bytes that does not end inside an unfinished UTF-8
// sequence; the rest waits for the next piece. Invalid bytes count as complete, so they are
// passed on (and shown as replacement characters) rather than held back for ever.
std::size_t CompleteUtf8Length(std::string_view bytes);

} // namespace qarvel::bridge
