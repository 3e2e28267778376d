#include "engine/prepare.h"

#include "engine/keys.h"
#include "runtime/strings.h"

namespace kv {

namespace {

std::vector<PreparedStep> preparedSteps;

}  // namespace

void PrepareStepTexts(const std::vector<StepText>& rows) {
    preparedSteps.clear();
    for (const StepText& row : rows) {
        const auto index = static_cast<int32_t>(&row - rows.data());
        PreparedStep step;
        step.Step = index;
        step.Pause = StringToInteger(row.pause);
        const KeyToken* token = FindKeyToken(row.keyText);
        if (token)
            step.Key = token->canonical;
        preparedSteps.push_back(std::move(step));
        if (token)
            continue;
        const int32_t length = StringLength(row.keyText);
        for (int32_t position = 1; position <= length; ++position) {
            PreparedStep character;
            character.Key = MapTextCharacter(MidString(row.keyText, position, 1));
            character.Step = index;
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
