#include "ui/dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace pasdraw {

bool askYes(QWidget* parent, const QString& question) {
    return QMessageBox::question(parent, QStringLiteral("pasdraw"), question,
                                 QMessageBox::Yes | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Yes;
}

void tell(QWidget* parent, const QString& message) {
    QMessageBox::information(parent, QStringLiteral("pasdraw"), message);
}

std::optional<QString> askWhereElse(QWidget* parent, const QString& message, bool offerElsewhere) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("pasdraw"), message, QMessageBox::NoButton, parent);
    QPushButton* elsewhere = nullptr;
    if (offerElsewhere) {
        elsewhere = box.addButton(QStringLiteral("Save elsewhere\u2026"), QMessageBox::AcceptRole);
        box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(elsewhere);
    } else {
        box.addButton(QMessageBox::Ok);
    }
    box.exec();
    if (elsewhere == nullptr || box.clickedButton() != elsewhere) return std::nullopt;
    const QString path =
        QFileDialog::getSaveFileName(parent, QStringLiteral("Save the program elsewhere"),
                                     QDir::home().filePath(QStringLiteral("test.pas")),
                                     QStringLiteral("Pascal programs (*.pas);;All files (*)"));
    if (path.isEmpty()) return std::nullopt;
    return path;
}

}  // namespace pasdraw
