// What the core needs from whoever talks to the user: the window shows message boxes, the
// command-line tool prints to standard error and answers questions from its options, tests record.
#pragma once

#include <string>

namespace navtab {

class UserInteraction {
  public:
    virtual ~UserInteraction() = default;
    // A message with only an OK button.
    virtual void message(const std::string& text) = 0;
    // A question with Yes and No; No always declines.
    virtual bool askYesNo(const std::string& text) = 0;
};

}  // namespace navtab
