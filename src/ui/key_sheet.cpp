#include "ui/key_sheet.h"

#include <QDialog>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace pasdraw {

void showKeySheet(QWidget* window) {
    auto* sheet = window->findChild<QDialog*>(QStringLiteral("keySheet"), Qt::FindDirectChildrenOnly);
    if (sheet == nullptr) {
        // Not modal: the sheet may stay open while the user tries the keys.
        sheet = new QDialog(window);
        sheet->setObjectName(QStringLiteral("keySheet"));
        sheet->setWindowTitle(QStringLiteral("pasdraw - keys and mouse"));
        sheet->setAttribute(Qt::WA_DeleteOnClose);
        auto* table = new QTableWidget(static_cast<int>(std::size(KeySheet)), 2, sheet);
        table->setHorizontalHeaderLabels({QStringLiteral("Key or gesture"), QStringLiteral("What it does")});
        table->verticalHeader()->hide();
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->setWordWrap(true);
        for (int i = 0; i < table->rowCount(); ++i) {
            const KeyRow& row = KeySheet[i];
            table->setItem(i, 0, new QTableWidgetItem(QString::fromUtf8(row.keys)));
            table->setItem(i, 1, new QTableWidgetItem(QString::fromUtf8(row.what)));
        }
        table->resizeColumnsToContents();
        table->horizontalHeader()->setStretchLastSection(true);
        auto* layout = new QVBoxLayout(sheet);
        layout->addWidget(table);
        const int wide = table->horizontalHeader()->length() + 40;
        sheet->resize(std::max(wide, 640), 560);
    }
    sheet->show();
    sheet->raise();
    sheet->activateWindow();
}

}  // namespace pasdraw
