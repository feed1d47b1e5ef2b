// The command line's way of talking to the user: messages go to standard error, questions are
// answered by the command's options.
#pragma once

#include <cstdio>

#include "core/user_interaction.h"

namespace navtab {

class CliInteraction : public UserInteraction {
  public:
    explicit CliInteraction(bool answerYes = false) : answerYes_(answerYes) {}

    void message(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }

    bool askYesNo(const std::string& text) override {
        std::fprintf(stderr, "%s [%s]\n", text.c_str(), answerYes_ ? "yes" : "no");
        return answerYes_;
    }

  private:
    bool answerYes_;
};

}  // namespace navtab
