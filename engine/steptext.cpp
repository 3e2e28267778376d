#include "engine/steptext.h"

#include <algorithm>

namespace kv {

std::string FormatStepText(const std::vector<StepText>& rows) {
    size_t size = 0;
    for (const StepText& row : rows)
        size += row.pause.size() + row.keyText.size() + 3;
    std::string text;
    text.reserve(size);
    for (const StepText& row : rows) {
        text += row.pause;
        text += kStepTextSeparator;
        text += row.keyText;
        text += kStepTextLineEnd;
    }
    return text;
}

std::vector<StepText> ParseStepText(const std::string& text) {
    std::vector<StepText> rows;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        const size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos)
            end = text.size();
        else if (end > start && text[end - 1] == '\r')
            --end;
        // Searched within the line: a list without TABs would otherwise be read again per line.
        const size_t tab = static_cast<size_t>(
            std::find(text.begin() + static_cast<std::ptrdiff_t>(start),
                      text.begin() + static_cast<std::ptrdiff_t>(end), kStepTextSeparator) -
            text.begin());
        StepText row;
        if (tab < end) {
            row.pause = text.substr(start, tab - start);
            row.keyText = text.substr(tab + 1, end - tab - 1);
        } else {
            row.keyText = text.substr(start, end - start);
        }
        if (!row.keyText.empty())
            rows.push_back(std::move(row));
        start = next;
    }
    return rows;
}

size_t LineAt(const std::string& text, size_t offset) {
    const auto end = text.begin() + static_cast<std::ptrdiff_t>(std::min(offset, text.size()));
    return static_cast<size_t>(std::count(text.begin(), end, '\n')) + 1;
}

}  // namespace kv
