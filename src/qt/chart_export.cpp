#include "qt/chart_export.h"

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QSaveFile>

#include "app/chart_style.h"
#include "qt/message_box.h"
#include "qt/qt_text.h"

namespace tolvane::ui::chart_export {

void CopyCsv(const ChartModel& model) { QGuiApplication::clipboard()->setText(Q(model.Csv())); }

bool SavePng(const QImage& image, const QString& path, QString* reason) {
  QByteArray png;
  QBuffer encoded(&png);
  if (!encoded.open(QIODevice::WriteOnly) || !image.save(&encoded, "PNG")) {
    *reason = QStringLiteral("the image could not be encoded");
    return false;
  }
  // Unbuffered, so that a write that fails says so, and why: a buffered
  // QSaveFile loses the failure of its last flush and puts an incomplete
  // file in place (seen with Qt 6.4 on a full disk).
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(png) == png.size() && file.commit())
    return true;
  *reason = file.errorString();
  return false;
}

void SaveImageAs(QWidget* parent, const QImage& image) {
  QFileDialog dialog(parent, Q(chart::kSaveImageTitle), QDir::home().filePath(Q(chart::kSaveImageName)),
                     Q(chart::kSaveImageFilter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  // The dialog adds the suffix to a name typed without one.
  dialog.setDefaultSuffix(QStringLiteral("png"));
  // Whether to replace a file is asked below, about the file that will be
  // written: Qt's own dialog asks about its reading of the name, which can
  // be another file's.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  // Qt's own dialog reads words in quotes as a list of names and answers
  // with one of them: `my "best" run.png` would give best.png. The name
  // typed, as it stood when the dialog was accepted, is the one meant.
  QString typed;
  QObject::connect(&dialog, &QFileDialog::filesSelected, &dialog, [&] {
    if (const auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) typed = edit->text();
  });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  QString path = dialog.selectedFiles().constFirst();
  if (typed.contains(u'"')) {
    QString name = typed.trimmed();
    if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".png");
    path = dialog.directory().absoluteFilePath(name);
  }
  if (QFileInfo::exists(path) &&
      QMessageBox::question(parent, Q(chart::kSaveImageTitle), Q(chart::ReplaceQuestion(Utf8(QFileInfo(path).fileName()))),
                            QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
    return;
  QString reason;
  if (!SavePng(image, path, &reason)) ShowMessageBox(parent, Q(chart::SaveFailedMessage(Utf8(path), Utf8(reason))));
}

}  // namespace tolvane::ui::chart_export
