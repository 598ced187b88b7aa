#include "qt/about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "app/about_layout.h"
#include "app/about_texts.h"
#include "app/colours.h"
#include "app/program_info.h"
#include "qt/application_icon.h"
#include "qt/form_style.h"
#include "qt/qt_text.h"
#include "qt/twips_qt.h"

namespace tolvane::ui::qt {
namespace {

using about::Kind;
namespace ids = about::ids;

QLabel* GreenLabel(QWidget* parent, const QString& designText) {
  auto* label = new QLabel(designText, parent);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setWordWrap(true);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, QColor(kLabelColour));
  label->setPalette(palette);
  label->setAutoFillBackground(false);  // the dialog shows through
  return label;
}

QWidget* Make(QDialog* dialog, const about::Control& c) {
  switch (c.kind) {
    case Kind::Picture: {
      auto* picture = new QLabel(dialog);
      picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      picture->setAlignment(Qt::AlignCenter);
      picture->setPixmap(icon::ApplicationIcon().pixmap(16, 16));
      return picture;
    }
    case Kind::Button: {
      auto* button = new QPushButton(Q(c.text), dialog);
      // Enter presses it; Esc closes the dialog as it does.
      button->setDefault(true);
      button->setFocus();
      return button;
    }
    case Kind::Label:
      break;
  }
  return GreenLabel(dialog, Q(c.text));
}

void FitText(QLabel* label) {
  QFont font = label->parentWidget()->font();
  const double points = about::FittedPoints(font.pointSizeF(), label->height(), [&](double size) {
    font.setPointSizeF(size);
    label->setFont(font);
    return label->heightForWidth(label->width());
  });
  font.setPointSizeF(points);
  label->setFont(font);
}

// A line of the separator: a strip of one colour, from x1 to x2 and `width`
// pixels thick downwards from y.
void AddLine(QWidget* parent, int index, QColor colour, about::layout::Line line) {
  const int t = about::layout::kTwipsPerPixel;
  auto* strip = new QWidget(parent);
  strip->setObjectName("Line1");
  strip->setProperty("index", index);
  strip->setGeometry(line.x1 / t, line.y / t, line.x2 / t - line.x1 / t + 1, line.width / t);
  strip->setAttribute(Qt::WA_TransparentForMouseEvents);
  QPalette palette = strip->palette();
  palette.setColor(QPalette::Window, colour);
  strip->setPalette(palette);
  strip->setAutoFillBackground(true);
}

}  // namespace

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName("frmAbout");
  setWindowTitle("About MyApp");
  setFixedSize(ui::layout::Size(about::layout::kClientArea));
  ApplyFormStyle(*this);

  for (const about::Control& c : about::kControls) {
    QWidget* control = Make(this, c);
    control->setObjectName(Q(c.name));
    control->setGeometry(ui::layout::Pixels(c.place));
    if (c.kind == Kind::Button) {
      connect(static_cast<QPushButton*>(control), &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    }
  }
  AddLine(this, 1, QColor(128, 128, 128), about::layout::kLine1Grey);
  AddLine(this, 0, QColor(255, 255, 255), about::layout::kLine1White);
}

QLabel* frmAbout::Label(int id) const {
  const about::Control& c = about::ControlOf(static_cast<about::ids::AboutId>(id));
  return findChild<QLabel*>(Q(c.name), Qt::FindDirectChildrenOnly);
}

void frmAbout::setVisible(bool visible) {
  if (visible && !isVisible()) Form_Load();
  QDialog::setVisible(visible);
}

void frmAbout::cmdOK_Click() { accept(); }

void frmAbout::Form_Load() {
  setWindowTitle(Q(about::Caption(about::kTitle)));
  Label(ids::kLblVersion)->setText(
      Q(about::VersionLine(about::kVersionMajor, about::kVersionMinor, about::kVersionRevision)));
  Label(ids::kLblTitle)->setText(Q(about::kTitle));
  Label(ids::kLblDisclaimer)->setText(Q(about::kComments));
  Label(ids::kLblDescription)->setText(Q(about::Description(about::kToolsAddress)));
  for (const about::Control& c : about::kControls) {
    if (c.fitted) FitText(Label(c.id));
  }
}

}  // namespace tolvane::ui::qt
