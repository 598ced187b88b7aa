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
#include <QSettings>
#include <QTemporaryDir>

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

namespace {

// Qt's file dialog reads the folders it visited from a settings file of its
// own when it opens and writes them back when it goes, with no way to turn
// that off. The program keeps no state: while a dialog lives, that file
// lives in a folder of its own, removed with it.
class DialogSettingsAside {
 public:
  DialogSettingsAside() {
    const QString path = folder_.isValid() ? folder_.path() : QStringLiteral("/dev/null");
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
      QSettings::setPath(format, QSettings::UserScope, path);
  }

 private:
  QTemporaryDir folder_;
};

}  // namespace

void SaveImageAs(QWidget* parent, const QImage& image) {
  const DialogSettingsAside settingsAside;  // outlives the dialog
  QFileDialog dialog(parent, Q(chart::kSaveImageTitle), QDir::home().filePath(Q(chart::kSaveImageName)),
                     Q(chart::kSaveImageFilter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
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
  if (typed.contains(u'"')) path = dialog.directory().absoluteFilePath(typed.trimmed());
  // Qt's dialog adds its suffix only to a name with no dot at all.
  path = Q(chart::WithPngSuffix(Utf8(path)));
  if (QFileInfo::exists(path) &&
      QMessageBox::question(parent, Q(chart::kSaveImageTitle), Q(chart::ReplaceQuestion(Utf8(QFileInfo(path).fileName()))),
                            QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
    return;
  QString reason;
  if (!SavePng(image, path, &reason)) ShowMessageBox(parent, Q(chart::SaveFailedMessage(Utf8(path), Utf8(reason))));
}

}  // namespace tolvane::ui::chart_export
