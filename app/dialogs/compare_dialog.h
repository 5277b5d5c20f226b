#pragma once
// The Compare With dialog of the Chart menu: the securities of the open database as the Go To
// list shows them (folders open in place), and the ones the chart is compared with, up to
// four, each to be removed or all cleared.

#include <optional>
#include <string>
#include <vector>

class QWidget;
class CBars;

namespace tv {

// Opens the dialog over the list of `bars` (its folder first) with `current` chosen. Returns the
// securities chosen, or nothing when the dialog is cancelled.
std::optional<std::vector<std::string>> AskCompare(QWidget* parent, const CBars& bars,
                                                   const std::vector<std::string>& current);

}  // namespace tv
