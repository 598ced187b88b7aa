#include "ui/main/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>

#include <algorithm>
#include <iterator>

#include "probe/probe.h"
#include "resolve/resolve.h"
#include "ui/about/about_dialog.h"
#include "ui/main/app_icon.h"
#include "ui/main/latency_chart.h"
#include "ui/main/layout.h"
#include "ui/main/message_box_sink.h"
#include "ui/main/messages.h"
#include "ui/main/periodic_timer.h"
#include "ui/main/system_colours.h"
#include "ui/main/translucency.h"
#include "ui/main/window_effects.h"
#include "ui/style/colours.h"
#include "ui/style/form_style.h"
#include "ui/style/message_box.h"
#include "ui/style/qt_text.h"
#include "ui/style/twips_qt.h"
#include "ui/tray/qt_tray.h"
#include "ui/tray/tray.h"
#include "ui/tray/tray_texts.h"

namespace tolvane::ui {
namespace {

constexpr int kAlpha = 210;  // of 255

template <typename W>
W* Place(W* widget, const char* name, layout::Place place) {
  widget->setObjectName(name);
  widget->setGeometry(layout::Pixels(place));
  return widget;
}

QLabel* GreenLabel(QWidget* parent, const char* name, const QString& text, layout::Place place,
                   Qt::Alignment horizontal) {
  auto* label = Place(new QLabel(text, parent), name, place);
  label->setAlignment(horizontal | Qt::AlignTop);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, QColor(kLabelColour));
  label->setPalette(palette);
  label->setAutoFillBackground(false);  // the window shows through
  return label;
}

QLineEdit* TextBox(QWidget* parent, const char* name, const QString& text, layout::Place place) {
  auto* box = Place(new QLineEdit(text, parent), name, place);
  QPalette palette = box->palette();
  palette.setColor(QPalette::Base, AppWorkspaceColour());
  box->setPalette(palette);
  return box;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& text, layout::Place place) {
  auto* button = Place(new QPushButton(text, parent), name, place);
  button->setAutoDefault(false);
  return button;
}

// The locale's separators as Qt reports them; the run reads typed numbers
// with them.
NumberSeparators SeparatorsOf(const QLocale& locale) {
  return {Utf8(locale.decimalPoint()), Utf8(locale.groupSeparator())};
}

}  // namespace

MainWindow::MainWindow(Engine engine, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      engine_(std::move(engine)),
      messages_(std::make_unique<MessageBoxSink>(this)),
      platform_(std::make_unique<probe::Platform>(probe::Platform{*engine_.sockets, *engine_.icmp, *messages_})),
      resolver_(std::make_unique<resolve::Resolver>(
          resolve::Resolver{*engine_.sockets, *engine_.lookup, *messages_})),
      checker_(std::make_unique<probe::Checker>(*platform_)) {
  tray::UseQtTray();
  BuildControls();
  run_ = std::make_unique<PingRun>(*checker_, *resolver_, static_cast<RunView&>(*this), SeparatorsOf(QLocale()),
                                   Utf8(QCoreApplication::applicationFilePath()));
  Form_Load();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildControls() {
  setObjectName("main");
  setWindowTitle(Q(kProgramTitle));
  setWindowIcon(AppIcon());
  setFixedSize(layout::Size(layout::kClientArea));
  ApplyFormStyle(*this);
  // "How many times?" only just fits its box, even at 8 points.
  QFont font = this->font();
  font.setStretch(QFont::SemiCondensed);
  setFont(font);

  // The chart first: the buttons over its lower right corner lie above it.
  graph = Place(new LatencyChart(this), "graph", layout::kGraph);
  Label3 = GreenLabel(this, "Label3", "IP:", layout::kLabel3, Qt::AlignRight);
  Text1 = TextBox(this, "Text1", "127.0.0.1", layout::kText1);
  QPalette hostPalette = Text1->palette();
  hostPalette.setColor(QPalette::Text, MenuColour());
  Text1->setPalette(hostPalette);
  Command1 = Button(this, "Command1", "Ping", layout::kCommand1);
  Label1 = GreenLabel(this, "Label1", "How many times?", layout::kLabel1, Qt::AlignLeft);
  Label2 = GreenLabel(this, "Label2", "Int in Sec.", layout::kLabel2, Qt::AlignHCenter);
  duration = TextBox(this, "duration", "6", layout::kDuration);
  interval = TextBox(this, "interval", "2", layout::kInterval);
  results = GreenLabel(this, "results", "Duration in sec.", layout::kResults, Qt::AlignLeft);
  Current = GreenLabel(this, "Current", QString(), layout::kCurrent, Qt::AlignLeft);
  Command5 = Button(this, "Command5", "&Stop", layout::kCommand5);
  Command4 = Button(this, "Command4", "&About", layout::kCommand4);
  Command3 = Button(this, "Command3", "&Systray", layout::kCommand3);
  Command2 = Button(this, "Command2", "&Exit", layout::kCommand2);
  Command5->hide();

  QWidget* tabOrder[] = {graph, Text1, Command1, Command2, duration, interval,
                         Command3, Command4, Command5};
  for (std::size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);

  Timer1 = new PeriodicTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setPeriod(10000);

  rcpopup_ = new QMenu("RCPopup", this);
  rcpopup_->setObjectName("rcpopup");
  restore = rcpopup_->addAction("&Restore");
  restore->setObjectName("restore");
  exit = rcpopup_->addAction("&Exit");
  exit->setObjectName("exit");

  connect(Command1, &QPushButton::clicked, this, &MainWindow::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &MainWindow::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &MainWindow::Command3_Click);
  connect(Command4, &QPushButton::clicked, this, &MainWindow::Command4_Click);
  connect(Command5, &QPushButton::clicked, this, &MainWindow::Command5_Click);
  connect(Timer1, &PeriodicTimer::ticked, this, &MainWindow::Timer1_Timer);
  connect(restore, &QAction::triggered, this, &MainWindow::restore_Click);
  connect(exit, &QAction::triggered, this, &MainWindow::exit_Click);
}

void MainWindow::Prefill(const QStringList& boxes) {
  QLineEdit* const inOrder[] = {Text1, duration, interval};
  for (qsizetype i = 0; i < std::min<qsizetype>(boxes.size(), std::size(inOrder)); ++i) {
    inOrder[i]->setText(boxes[i]);
  }
}

void MainWindow::Form_Load() {
  MakeTranslucent(*this, kAlpha);
  graph->SetNameText(Q(kProgramTitle));
  Timer1->setEnabled(false);
  AddDropShadow(static_cast<std::uintptr_t>(winId()));
  graph->setFocus();
}

std::int32_t MainWindow::check(const std::string& Vnewip_address) {
  return checker_->check(Vnewip_address);
}

void MainWindow::Command1_Click() {
  run_->Press({Utf8(Text1->text()), Utf8(duration->text()), Utf8(interval->text())});
}

void MainWindow::Tell(std::string_view text) { ShowMessageBox(this, Q(text)); }

void MainWindow::Command5_Click() { run_->Stop(); }

void MainWindow::Command2_Click() { close(); }

void MainWindow::Command3_Click() {
  emit systrayPressed();
  const auto self = static_cast<tray::WindowHandle>(winId());
  const auto icon = static_cast<tray::IconHandle>(windowIcon().cacheKey());
  if (!tray::SendToTray(self, icon, tray::kTrayTip)) {
    Tell(tray::kNoTrayMessage);
    return;
  }
  hide();
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

void MainWindow::restore_Click() {
  tray::UnhookWindow();
  show();
  tray::TrayRemove();
}

void MainWindow::exit_Click() {
  tray::UnhookWindow();
  tray::TrayRemove();
  close();
}

// Modal; the run's ticks go on under it. Parented for its place and so that
// it has no taskbar button of its own.
void MainWindow::Command4_Click() {
  emit aboutPressed();
  if (frmAbout_ == nullptr) frmAbout_ = new about::frmAbout(this);
  frmAbout_->exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  run_->Stop();  // a run ends with the window, without an average
  event->accept();
  emit closed();
}

void MainWindow::Timer1_Timer() { run_->Tick(Utf8(interval->text())); }

void MainWindow::graphping() { run_->graphping(Utf8(interval->text())); }

void MainWindow::SetRowCount(std::int16_t count) { graph->SetRowCount(count); }
void MainWindow::SetHostText(const std::string& text) { graph->SetHostText(Q(text)); }
void MainWindow::SelectRow(std::int16_t row) { graph->SelectRow(row); }
void MainWindow::SetRowLabel(const std::string& text) { graph->SetRowLabel(Q(text)); }
void MainWindow::SetRowValue(const std::string& text) { graph->SetRowValue(Q(text)); }
void MainWindow::SetRowToolTip(const std::string& text) { graph->SetRowToolTip(Q(text)); }
void MainWindow::SetCurrentText(const std::string& text) { Current->setText(Q(text)); }
void MainWindow::SetResultsText(const std::string& text) { results->setText(Q(text)); }
void MainWindow::ShowStop(bool shown) { Command5->setVisible(shown); }
void MainWindow::SetTimerPeriod(std::int32_t milliseconds) { Timer1->setPeriod(milliseconds); }
void MainWindow::SetTimerEnabled(bool enabled) { Timer1->setEnabled(enabled); }

void MainWindow::ShowMessage(const std::string& text, BoxIcon icon) {
  ShowMessageBox(this, Q(text), icon == BoxIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon);
}

}  // namespace tolvane::ui
