#pragma once
// Putting numbers and names into the program's messages: each message is one whole text with
// numbered places, {1} to {9}, that Fill puts the values in; numbers are written out here,
// as the user reads them, without the C library's formatted printing.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace qarvel {

// The text with each {N} replaced by the N-th value (counting from 1); a place without a
// value, and every other brace, stays as it is.
std::wstring Fill(std::wstring_view text, std::initializer_list<std::wstring_view> values);

// The number's digits in the base (10 or 16, capitals), at least `width` of them.
std::wstring Digits(std::uint64_t number, unsigned base = 10, std::size_t width = 1);

// A file's size as Explorer counts it, in units of 1024: "1 byte", "900 bytes", "12.5 KB",
// "700.0 MB", "4.4 GB"; one decimal, rounded, and the next unit from 1024.0 on.
std::wstring SizeText(std::uint64_t bytes);

// A run's length, rounded to the second: "less than 1 s", "8 s", "1 min 12 s", "2 h 5 min".
std::wstring DurationText(std::uint64_t milliseconds);

// The share of part in whole, in whole percent, rounded: "59". A whole of 0 gives "0".
std::wstring PercentText(std::uint64_t part, std::uint64_t whole);

} // namespace qarvel
