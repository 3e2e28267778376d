#include "engine/prepare.h"

#include "app/numbers.h"
#include "engine/keys.h"
#include "runtime/strings.h"
#include "toolkit/gadget.h"

namespace kv {

namespace {

constexpr int32_t kColumnPause = 0;
constexpr int32_t kColumnKey = 1;

std::vector<PreparedStep> preparedSteps;

}  // namespace

void PrepareSteps() {
    preparedSteps.clear();
    const int32_t rows = CountGadgetItems(kGadgetStepList);
    for (int32_t row = 0; row < rows; ++row) {
        PreparedStep step;
        step.Pause = StringToInteger(GetGadgetItemText(kGadgetStepList, row, kColumnPause));
        const std::string text = GetGadgetItemText(kGadgetStepList, row, kColumnKey);
        const KeyToken* token = FindKeyToken(text);
        if (token)
            step.Key = token->canonical;
        preparedSteps.push_back(std::move(step));
        if (token)
            continue;
        const int32_t length = StringLength(text);
        for (int32_t position = 1; position <= length; ++position) {
            PreparedStep character;
            character.Key = MapTextCharacter(MidString(text, position, 1));
            preparedSteps.push_back(std::move(character));
        }
    }
}

const std::vector<PreparedStep>& PreparedSteps() {
    return preparedSteps;
}

std::string MapTextCharacter(const std::string& character) {
    if (character == "\r")
        return kTokenReturn;
    if (character == "\n")
        return std::string();
    return character;
}

}  // namespace kv
