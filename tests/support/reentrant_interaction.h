// A test interaction that runs `duringQuestion` inside every yes/no question, as a menu click
// arrives while a question's nested message handling runs.
#pragma once

#include <functional>

#include "app/user_interaction.h"

namespace toravel::testing {

template <typename Base>
class Reentrant : public Base {
  public:
    std::function<void()> duringQuestion;

    bool AskYesNo(const Question& question) override {
        if (duringQuestion) {
            duringQuestion();
        }
        return Base::AskYesNo(question);
    }
};

}  // namespace toravel::testing
