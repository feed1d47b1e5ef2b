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

    // File choices. `filter` lists pairs of a label and its patterns, each part ended by '|' and
    // the list by a second '|': "IFO Files (*.ifo)|*.ifo|All Files (*.*)|*.*||". The result is the
    // chosen path, or empty when the user cancelled (as everyone without a file dialog does).
    virtual std::string chooseFileToOpen(const std::string& /*filter*/) { return {}; }
    // `proposed` is the name the dialog starts with; choosing an existing file asks nothing.
    virtual std::string chooseFileToSave(const std::string& /*proposed*/,
                                         const std::string& /*filter*/) {
        return {};
    }
};

}  // namespace navtab
