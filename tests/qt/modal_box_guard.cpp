#include "modal_box_guard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QWidget>

namespace tolvane::ui::test {
namespace {

constexpr int kPollMs = 10;
constexpr int kWindowMs = 2000;

}  // namespace

ModalBoxGuard::ModalBoxGuard(QStringList expected) {
  timer_.setInterval(kPollMs);
  connect(&timer_, &QTimer::timeout, this, &ModalBoxGuard::Poll);
  Expect(expected);
}

ModalBoxGuard::~ModalBoxGuard() {
  timer_.stop();
  // Nothing modal may outlive the test that opened it.
  if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
}

void ModalBoxGuard::Expect(const QStringList& texts) {
  expected_ << texts;
  armed_.start();
  timer_.start();
}

QStringList ModalBoxGuard::seenTexts() const {
  QStringList texts;
  for (const Box& box : seen_) texts << box.text;
  return texts;
}

void ModalBoxGuard::Poll() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr) {
    if (armed_.elapsed() > kWindowMs) timer_.stop();
    return;
  }
  auto* box = qobject_cast<QMessageBox*>(modal);
  if (box == nullptr) {
    unexpected_ << QString("a %1").arg(modal->metaObject()->className());
    modal->close();
    return;
  }
  seen_.push_back({box->windowTitle(), box->text(), box->icon(),
                   static_cast<int>(box->buttons().size())});
  if (!expected_.isEmpty() && box->text() == expected_.front()) {
    expected_.pop_front();
    if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
      ok->click();
      return;
    }
  } else {
    unexpected_ << box->text();
  }
  box->close();
}

}  // namespace tolvane::ui::test
