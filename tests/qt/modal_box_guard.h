// Answers the modal boxes that open while a test runs. Polls
// QApplication::activeModalWidget() every 10 ms for up to 2 s from the last
// arming: a message box whose text is the next expected one is answered
// with its OK button; anything else is closed and counted as unexpected.
// Scoped to one test: it stops polling when it goes.
#pragma once

#include <QElapsedTimer>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <vector>

namespace tolvane::ui::test {

class ModalBoxGuard : public QObject {
 public:
  struct Box {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    int buttons;  // how many buttons it had
  };

  // Arms the guard for these texts, in order (none: every box is unexpected).
  explicit ModalBoxGuard(QStringList expected = {});
  ~ModalBoxGuard() override;

  // Expects more boxes and polls for 2 s again.
  void Expect(const QStringList& texts);

  const std::vector<Box>& seen() const { return seen_; }
  QStringList seenTexts() const;
  const QStringList& unexpected() const { return unexpected_; }
  QStringList missing() const { return expected_; }

 private:
  void Poll();

  QTimer timer_;
  QElapsedTimer armed_;
  QStringList expected_;
  std::vector<Box> seen_;
  QStringList unexpected_;
};

}  // namespace tolvane::ui::test
