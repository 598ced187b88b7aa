#include "qt/about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "app/about_layout.h"
#include "app/about_texts.h"
#include "app/colours.h"
#include "app/program_info.h"
#include "qt/application_icon.h"
#include "qt/form_style.h"
#include "qt/line_control.h"
#include "qt/qt_text.h"
#include "qt/twips_qt.h"

namespace tolvane::ui::about {
namespace {

QLabel* GreenLabel(QWidget* parent, const char* name, const char* designText,
                   layout::Place place) {
  auto* label = new QLabel(designText, parent);
  label->setObjectName(name);
  label->setGeometry(ui::layout::Pixels(place));
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setWordWrap(true);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, QColor(kLabelColour));
  label->setPalette(palette);
  label->setAutoFillBackground(false);  // the dialog shows through
  return label;
}

// Smaller type until the wrapped text fits the label's fixed box, so that
// no part of it (the address at its end) is cut off with a larger font.
void FitText(QLabel* label) {
  QFont font = label->parentWidget()->font();
  label->setFont(font);
  while (label->heightForWidth(label->width()) > label->height() && font.pointSizeF() > 6) {
    font.setPointSizeF(font.pointSizeF() - 0.5);
    label->setFont(font);
  }
}

void AddLine(QWidget* parent, int index, QColor colour, layout::Line line) {
  const int t = layout::kTwipsPerPixel;
  auto* control = new LineControl(parent, colour, line.x1 / t, line.x2 / t, line.y / t,
                                  line.width / t);
  control->setObjectName("Line1");
  control->setProperty("index", index);
}

}  // namespace

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName("frmAbout");
  setWindowTitle("About MyApp");
  setFixedSize(ui::layout::Size(layout::kClientArea));
  ApplyFormStyle(*this);

  picIcon = new QLabel(this);
  picIcon->setObjectName("picIcon");
  picIcon->setGeometry(ui::layout::Pixels(layout::kPicIcon));
  picIcon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  picIcon->setAlignment(Qt::AlignCenter);
  picIcon->setPixmap(icon::ApplicationIcon().pixmap(16, 16));

  lblTitle = GreenLabel(this, "lblTitle", "Application Title", layout::kLblTitle);
  lblVersion = GreenLabel(this, "lblVersion", "Version", layout::kLblVersion);
  lblDescription = GreenLabel(this, "lblDescription", "App Description", layout::kLblDescription);
  lblDisclaimer = GreenLabel(this, "lblDisclaimer", "Warning: ...", layout::kLblDisclaimer);

  AddLine(this, 1, QColor(128, 128, 128), layout::kLine1Grey);
  AddLine(this, 0, QColor(255, 255, 255), layout::kLine1White);

  cmdOK = new QPushButton("OK", this);
  cmdOK->setObjectName("cmdOK");
  cmdOK->setGeometry(ui::layout::Pixels(layout::kCmdOK));
  // Enter presses it; Esc closes the dialog as it does.
  cmdOK->setDefault(true);
  cmdOK->setFocus();
  connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
}

void frmAbout::setVisible(bool visible) {
  if (visible && !isVisible()) Form_Load();
  QDialog::setVisible(visible);
}

void frmAbout::cmdOK_Click() { accept(); }

void frmAbout::Form_Load() {
  setWindowTitle(Q(Caption(kTitle)));
  lblVersion->setText(Q(VersionLine(kVersionMajor, kVersionMinor, kVersionRevision)));
  lblTitle->setText(Q(kTitle));
  lblDisclaimer->setText(Q(kComments));
  lblDescription->setText(Q(Description(kToolsAddress)));
  FitText(lblDescription);
  FitText(lblDisclaimer);
}

}  // namespace tolvane::ui::about
