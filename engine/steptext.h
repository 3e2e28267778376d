#pragma once
// The text form of a step list, one form for every way a list leaves the program and comes back:
// one Step per line, its pause text, one TAB, its key/text, exactly as the row holds them.

#include <cstddef>
#include <string>
#include <vector>

#include "engine/prepare.h"

namespace kv {

constexpr char kStepTextSeparator = '\t';
inline constexpr char kStepTextLineEnd[] = "\r\n";

// Every row followed by CR LF.
std::string FormatStepText(const std::vector<StepText>& rows);
// Lines end with CR LF or LF, and a last line without an end counts. A line is split at its first
// TAB; one without a TAB has an empty pause and the whole line as its key/text. A line whose
// key/text is empty is skipped: no row of the window is such a Step.
std::vector<StepText> ParseStepText(const std::string& text);
// The line (counted from 1) that the byte at `offset` of `text` stands on.
size_t LineAt(const std::string& text, size_t offset);

}  // namespace kv
