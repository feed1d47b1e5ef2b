// The OK and "Abbrechen" buttons at the foot of a dialog, right-aligned, OK as the default.
#pragma once

class QDialog;
class QHBoxLayout;

namespace navtab {

// A row whose OK accepts and whose "Abbrechen" rejects `dialog`.
QHBoxLayout* okCancelRow(QDialog* dialog);

}  // namespace navtab
