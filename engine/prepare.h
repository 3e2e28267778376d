#pragma once
// Step preparation: the step list's rows become the flat list of (pause, key) entries that a
// playback run walks without reading texts or key tables again.

#include <cstdint>
#include <string>
#include <vector>

namespace kv {

struct PreparedStep {
    int32_t Pause = 0;
    // A canonical token, one character of a literal text, or empty (no key).
    std::string Key;
    // The row it came from, counted from 0: a text's characters share their Step's.
    int32_t Step = 0;
};

// One row of the step list as its two columns read.
struct StepText {
    std::string pause;
    std::string keyText;
};

// Replaces the prepared step list with the entries of `rows`, in their order.
void PrepareStepTexts(const std::vector<StepText>& rows);
// The list as the last preparation left it.
const std::vector<PreparedStep>& PreparedSteps();

// The Key for one character of a literal text: a carriage return gives "RETURN", a line feed the
// empty Key (it sends nothing), every other character itself.
std::string MapTextCharacter(const std::string& character);

}  // namespace kv
