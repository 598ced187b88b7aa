// The yardstick for the program's start-up: a bare Qt Widgets window with
// the main window's 13 controls at their places (taken from the same control
// table and twip layout the program builds its window from, and nothing
// else of the program) and a chart area painted with QPainter, as
// translucent as the program is on X11; ended as soon as it is first shown.
// What the program costs beyond it is the program's own doing.
#include <QApplication>
#include <QColor>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPaintEvent>
#include <QPalette>
#include <QPushButton>
#include <QRect>
#include <QString>
#include <QWidget>

#include <iterator>

#include "app/controls.h"
#include "app/layout.h"
#include "first_shown.h"

namespace {

namespace controls = tolvane::ui::controls;
namespace layout = tolvane::ui::layout;

QRect Pixels(layout::Place p) {
  const int k = layout::kTwipsPerPixel;
  return QRect(p.left / k, p.top / k, p.width / k, p.height / k);
}

// A plot and five bars: about what a chart painted by hand costs.
class ChartArea : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 44, 44));
    const QRect plot = rect().adjusted(40, 20, -20, -30);
    const int values[] = {9, 14, 11, 16, 12};
    const int column = plot.width() / static_cast<int>(std::size(values));
    for (int i = 0; i < static_cast<int>(std::size(values)); ++i) {
      const int height = plot.height() * values[i] / 20;
      painter.fillRect(plot.left() + i * column + column / 4, plot.bottom() - height, column / 2, height,
                       QColor(0, 230, 0));
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  tolvane::bench::QuitWhenFirstShown(app);

  QWidget window(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  window.setWindowTitle("Bare");
  window.setFixedSize(Pixels(layout::kClientArea).size());
  QPalette palette = window.palette();
  palette.setColor(QPalette::Window, QColor(0, 64, 64));
  palette.setColor(QPalette::WindowText, QColor(0, 255, 0));
  window.setPalette(palette);
  window.setAutoFillBackground(true);
  QFont font = window.font();
  font.setPointSizeF(8);
  font.setStretch(QFont::SemiCondensed);  // the program's: "How many times?" fits then
  window.setFont(font);

  (new ChartArea(&window))->setGeometry(Pixels(layout::kGraph));
  for (const controls::Control& c : controls::kControls) {
    const QString text = QString::fromUtf8(c.text.data(), static_cast<qsizetype>(c.text.size()));
    QWidget* made = nullptr;
    switch (c.kind) {
      case controls::Kind::Box: made = new QLineEdit(text, &window); break;
      case controls::Kind::Button: made = new QPushButton(text, &window); break;
      case controls::Kind::Label: made = new QLabel(text, &window); break;
    }
    made->setGeometry(Pixels(c.place));
    made->setVisible(c.shown);
  }
  // On X11 the compositor blends the window at this opacity, as the program's.
  window.setWindowOpacity(controls::kOpacity / 255.0);
  window.show();
  return app.exec();
}
