// The chart's right-click menu: "Copy as CSV" and "Save Image…".
#pragma once

#include <QImage>
#include <QString>

#include "app/chart_model.h"

class QWidget;

namespace tolvane::ui::chart_export {

// The rows that hold a sample of the run, onto the clipboard.
void CopyCsv(const ChartModel& model);

// Asks where to save `image`, then saves it there; a save that failed is
// told, with the system's reason.
void SaveImageAs(QWidget* parent, const QImage& image);

// `image` as a PNG at `path`, whole or not at all: written beside it first
// and put in its place only when complete, so that a file of that name
// stays as it was when anything fails. False, and why, when it can't.
bool SavePng(const QImage& image, const QString& path, QString* reason);

}  // namespace tolvane::ui::chart_export
