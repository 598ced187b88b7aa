// The program's modal message box: captioned "Tolvane", an OK button only.
#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace tolvane::ui {

void ShowMessageBox(QWidget* parent, const QString& text,
                    QMessageBox::Icon icon = QMessageBox::NoIcon);

}  // namespace tolvane::ui
