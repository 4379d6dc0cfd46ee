#pragma once
// The order the lists show names in: letter case ignored, then ordinal. What "letter case"
// means is the system's; the caller hands in its folding to capitals.

#include <functional>
#include <string>
#include <vector>

namespace qarvel::window {

// Folds a text to capitals in place, keeping its length.
using FoldToCapitals = std::function<void(std::wstring &)>;

// Sorts by the folded names, code unit by code unit; names that fold alike keep the ordinal
// order of their own code units, so the result never depends on the order given.
void SortNames(std::vector<std::wstring> &names, const FoldToCapitals &fold);

} // namespace qarvel::window
