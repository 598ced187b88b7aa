// A straight horizontal line drawn on a window, in one colour and width.
#pragma once

#include <QColor>
#include <QWidget>

namespace tolvane::ui::qt {

class LineControl : public QWidget {
 public:
  // From (x1, y) to (x2, y) in the parent's pixels, `width` pixels thick
  // downwards from y.
  LineControl(QWidget* parent, QColor colour, int x1, int x2, int y, int width);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor colour_;
};

}  // namespace tolvane::ui::qt
