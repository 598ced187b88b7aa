#include "qt/translucency.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace tolvane::ui {
namespace {

// The topmost child of a translucent window: wherever the window repaints,
// it scales what the window and its other children have just painted to the
// window's alpha. It takes no input and no focus; it stays on top of
// children added later and covers the window at every size.
class OpacityLayer : public QWidget {
 public:
  OpacityLayer(QWidget& window, int alpha) : QWidget(&window), alpha_(std::clamp(alpha, 0, 255)) {
    setObjectName("opacityLayer");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(window.rect());
    window.installEventFilter(this);
    raise();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == parent()) {
      if (event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
      if (event->type() == QEvent::ChildAdded) raise();
    }
    return false;
  }

  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    // Destination times source alpha: colour and alpha alike, since the
    // window's pixels are premultiplied.
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.fillRect(event->rect(), QColor(0, 0, 0, alpha_));
  }

 private:
  int alpha_;
};

}  // namespace

bool PaintsOwnOpacity(const QString& platformName) {
  return platformName.startsWith(QLatin1String("wayland"));
}

void MakeTranslucent(QWidget& window, int alpha) {
  if (!PaintsOwnOpacity(QGuiApplication::platformName())) {
    window.setWindowOpacity(alpha / 255.0);
    return;
  }
  PaintTranslucent(window, alpha);
}

void PaintTranslucent(QWidget& window, int alpha) {
  window.setAttribute(Qt::WA_TranslucentBackground);
  // That attribute also stops the window painting its own background; it
  // still has one, only painted at the alpha like the rest.
  window.setAttribute(Qt::WA_NoSystemBackground, false);
  new OpacityLayer(window, alpha);
}

}  // namespace tolvane::ui
