#include "qt/main_window.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QWindow>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>

#include <algorithm>
#include <iterator>
#include <map>
#include <utility>

#include "app/colours.h"
#include "app/controls.h"
#include "app/layout.h"
#include "app/messages.h"
#include "qt/about_dialog.h"
#include "qt/application_icon.h"
#include "qt/form_style.h"
#include "qt/latency_chart.h"
#include "qt/message_box.h"
#include "qt/periodic_timer.h"
#include "qt/qt_text.h"
#include "qt/system_colours.h"
#include "qt/translucency.h"
#include "qt/tray_icon.h"
#include "qt/twips_qt.h"

namespace tolvane::ui {
namespace {

QWidget* GreenLabel(QWidget* parent, const QString& text, controls::Align align) {
  auto* label = new QLabel(text, parent);
  const Qt::Alignment horizontal = align == controls::Align::Right    ? Qt::AlignRight
                                   : align == controls::Align::Centre ? Qt::AlignHCenter
                                                                      : Qt::AlignLeft;
  label->setAlignment(horizontal | Qt::AlignTop);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, QColor(kLabelColour));
  label->setPalette(palette);
  label->setAutoFillBackground(false);  // the window shows through
  return label;
}

QWidget* TextBox(QWidget* parent, const QString& text) {
  auto* box = new QLineEdit(text, parent);
  QPalette palette = box->palette();
  palette.setColor(QPalette::Base, AppWorkspaceColour());
  box->setPalette(palette);
  return box;
}

// Enter presses the button that has the focus, as Space does. Not by making
// it auto-default: that would also give it a default button's look while
// it has the focus. Enter in a box still presses no button.
class EnterButton : public QPushButton {
 public:
  EnterButton(const QString& text, QWidget* parent) : QPushButton(text, parent) { setAutoDefault(false); }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      click();
    } else {
      QPushButton::keyPressEvent(event);
    }
  }
};

}  // namespace

MainWindow::MainWindow(Engine engine, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      engine_(std::move(engine)) {
  BuildControls();
  // The run reads typed numbers with the locale's separators as Qt reports them.
  const QLocale locale;
  const NumberSeparators separators{Utf8(locale.decimalPoint())};
  wired_ = std::make_unique<WiredRun>(std::move(engine_), static_cast<RunView&>(*this), separators,
                                      Utf8(QCoreApplication::applicationFilePath()));
  Form_Load();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildControls() {
  setObjectName("main");
  setWindowTitle(Q(kProgramTitle));
  setFixedSize(layout::Size(layout::kClientArea));
  ApplyFormStyle(*this);
  // "How many times?" only just fits its box, even at 8 points.
  QFont font = this->font();
  font.setStretch(QFont::SemiCondensed);
  setFont(font);

  // The chart first: the buttons over its lower right corner lie above it.
  graph = new LatencyChart(this);
  graph->setGeometry(layout::Pixels(layout::kGraph));
  QWidget* previous = graph;  // first in the tab order
  std::map<controls::ControlId, QWidget*> made;
  for (const controls::Control& c : controls::kControls) {
    QWidget* widget = c.kind == controls::Kind::Box      ? TextBox(this, Q(c.text))
                      : c.kind == controls::Kind::Button ? new EnterButton(Q(c.text), this)
                                                         : GreenLabel(this, Q(c.text), c.align);
    widget->setObjectName(Q(c.name));
    widget->setGeometry(layout::Pixels(c.place));
    widget->setVisible(c.shown);
    made[c.id] = widget;
    if (c.kind != controls::Kind::Label) {
      setTabOrder(previous, widget);
      previous = widget;
    }
  }
  // Each box is named by its label, for screen readers.
  for (const controls::Control& c : controls::kControls) {
    if (c.names) static_cast<QLabel*>(made[c.id])->setBuddy(made[*c.names]);
  }
  Text1 = findChild<QLineEdit*>("Text1");
  duration = findChild<QLineEdit*>("duration");
  interval = findChild<QLineEdit*>("interval");
  Command5 = findChild<QPushButton*>("Command5");
  results = findChild<QLabel*>("results");
  Current = findChild<QLabel*>("Current");
  QPalette hostPalette = Text1->palette();
  hostPalette.setColor(QPalette::Text, HostTextColour());
  Text1->setPalette(hostPalette);

  Timer1 = new PeriodicTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setPeriod(controls::kFirstTimerPeriod);

  rcpopup_ = new QMenu("RCPopup", this);
  rcpopup_->setObjectName("rcpopup");
  QAction* restore = rcpopup_->addAction(Q(controls::kRestoreText));
  restore->setObjectName("restore");
  QAction* exit = rcpopup_->addAction(Q(controls::kExitText));
  exit->setObjectName("exit");

  const std::pair<const char*, void (MainWindow::*)()> clicks[] = {
      {"Command1", &MainWindow::Command1_Click}, {"Command2", &MainWindow::Command2_Click},
      {"Command3", &MainWindow::Command3_Click}, {"Command4", &MainWindow::Command4_Click},
      {"Command5", &MainWindow::Command5_Click}};
  for (const auto& [name, slot] : clicks) connect(findChild<QPushButton*>(name), &QPushButton::clicked, this, slot);
  connect(Timer1, &PeriodicTimer::ticked, this, &MainWindow::Timer1_Timer);
  connect(restore, &QAction::triggered, this, &MainWindow::restore_Click);
  connect(exit, &QAction::triggered, this, &MainWindow::exit_Click);
  trayIcon_ = new tray::TrayIcon(*this, *rcpopup_);
  connect(trayIcon_, &tray::TrayIcon::menuRequested, this, &MainWindow::SysTrayMouseEventHandler);
  connect(trayIcon_, &tray::TrayIcon::hostChecked, this, [this](bool present) { tray_.HostChecked(present); });
}

void MainWindow::Prefill(const std::vector<std::string>& boxes) {
  QLineEdit* const inOrder[] = {Text1, duration, interval};
  for (std::size_t i = 0; i < std::min(boxes.size(), std::size(inOrder)); ++i) inOrder[i]->setText(Q(boxes[i]));
}

void MainWindow::Form_Load() {
  MakeTranslucent(*this, controls::kOpacity);
  graph->control().SetNameText(std::string(kProgramTitle));
  Timer1->setEnabled(false);
  // No shadow to ask for: on X11 and Wayland the compositor draws one.
  graph->setFocus();
}

void MainWindow::Command1_Click() {
  wired_->run().Press({Utf8(Text1->text()), Utf8(duration->text()), Utf8(interval->text())});
}

void MainWindow::Tell(std::string_view text) { ShowMessageBox(this, Q(text)); }

void MainWindow::Command5_Click() { wired_->run().Stop(); }

void MainWindow::Command2_Click() { close(); }

// A tool window's frame shows no icon: the program's (five images, decoded
// with Qt's image plugins) is loaded once the window is on the screen, or
// before the tray or the About dialog needs it, should either come first.
void MainWindow::LoadIcon() {
  if (iconLoaded_) return;
  iconLoaded_ = true;
  const QIcon icon = icon::ApplicationIcon();
  QApplication::setWindowIcon(icon);
  setWindowIcon(icon);
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!iconLoaded_ && windowHandle() != nullptr) windowHandle()->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
    windowHandle()->removeEventFilter(this);
    QTimer::singleShot(0, this, &MainWindow::LoadIcon);
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::Command3_Click() {
  LoadIcon();
  emit systrayPressed();
  trayFocus_ = focusWidget();
  tray_.Systray();
}

void MainWindow::SysTrayMouseEventHandler() {
  activateWindow();  // takes effect when the window shows again
  // Where the tray opened a menu of its own on the press, one is enough.
  if (QApplication::activePopupWidget() != nullptr) return;
  // On Wayland a menu opens from a shown window; with this one in the tray
  // it opens as a small window of its own, fixed in size so that a tiling
  // compositor floats it rather than filling the screen with it.
  if (!isVisible() && QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
    rcpopup_->setFixedSize(rcpopup_->sizeHint());
  }
  rcpopup_->exec(QCursor::pos());
}

void MainWindow::restore_Click() { tray_.Restore(); }
void MainWindow::exit_Click() { tray_.Exit(); }

bool MainWindow::ShowIcon(std::string_view tip) { return trayIcon_->Show(Q(tip)); }
void MainWindow::RemoveIcon() { trayIcon_->Remove(); }

void MainWindow::HideWindow() { hide(); }
// In front and active again, with the keyboard's focus where it was:
// hidden, the window may have handed it on.
void MainWindow::ShowWindow() {
  show();
  raise();
  activateWindow();
  if (trayFocus_ != nullptr) trayFocus_->setFocus();
}
void MainWindow::CloseWindow() { close(); }

// Modal; the run's ticks go on under it. Parented for its place and so that
// it has no taskbar button of its own.
void MainWindow::Command4_Click() {
  LoadIcon();
  emit aboutPressed();
  if (frmAbout_ == nullptr) frmAbout_ = new qt::frmAbout(this);
  frmAbout_->exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  wired_->run().Stop();  // a run ends with the window, without an average
  tray_.Closing();
  event->accept();
  emit closed();
}

void MainWindow::Timer1_Timer() { wired_->run().Tick(Utf8(interval->text())); }

ChartControl& MainWindow::chart() { return graph->control(); }
void MainWindow::SetCurrentText(const std::string& text) { Current->setText(Q(text)); }
void MainWindow::SetResultsText(const std::string& text) { results->setText(Q(text)); }
void MainWindow::ShowStop(bool shown) { Command5->setVisible(shown); }
void MainWindow::SetTimerPeriod(std::int32_t milliseconds) { Timer1->setPeriod(milliseconds); }
void MainWindow::SetTimerEnabled(bool enabled) { Timer1->setEnabled(enabled); }

void MainWindow::ShowMessage(const std::string& text, BoxIcon icon) {
  ShowMessageBox(this, Q(text), icon == BoxIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon);
}

}  // namespace tolvane::ui
