// The window's questions and messages, as message boxes and file dialogs.
#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace pasdraw {

// A yes-or-cancel question; true for yes.
bool askYes(QWidget* parent, const QString& question);
void tell(QWidget* parent, const QString& message);
// A save failed: says why and, where another place could help, offers "Save
// elsewhere…"; returns the path the user chose, or nothing to give up.
std::optional<QString> askWhereElse(QWidget* parent, const QString& message, bool offerElsewhere);

}  // namespace pasdraw
