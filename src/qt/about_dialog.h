// The About dialog: the program's icon, title, version, comments and a
// description, with one "OK" button. Every showing loads its texts anew.
#pragma once

#include <QDialog>

class QLabel;

namespace tolvane::ui::qt {

class frmAbout : public QDialog {
  Q_OBJECT

 public:
  explicit frmAbout(QWidget* parent = nullptr);

  void setVisible(bool visible) override;

 public slots:
  void cmdOK_Click();

 private:
  void Form_Load();

  QLabel* Label(int id) const;
};

}  // namespace tolvane::ui::qt
