// How the core talks to the user in the window: message boxes, Yes/No questions, file dialogs and
// the editor dialogs, all modal over the main window.
#pragma once

#include <QPointer>
#include <QWidget>

#include "core/user_interaction.h"
#include "format/field_editors.h"

namespace navtab::ui {

class QtInteraction : public UserInteraction, public FieldEditors {
  public:
    explicit QtInteraction(QWidget* parent) : parent_(parent) {}

    void message(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    std::string chooseFileToOpen(const std::string& filter) override;
    std::string chooseFileToSave(const std::string& proposed, const std::string& filter) override;

    std::optional<std::string> enterNewValue(const std::string& current) override;
    std::optional<std::uint16_t> editVideoAttributes(std::uint16_t word) override;
    std::optional<std::uint32_t> editUserOperations(std::uint32_t mask) override;
    std::optional<std::vector<std::uint8_t>> editBytes(
        std::span<const std::uint8_t> bytes) override;

  private:
    QPointer<QWidget> parent_;
};

}  // namespace navtab::ui
