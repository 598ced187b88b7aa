// The yardstick: a bare Qt Widgets window holding a Qt Charts bar chart of
// the same size, ended as soon as it is first shown.
#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>

#include "first_shown.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  tolvane::bench::QuitWhenFirstShown(app);
  auto* set = new QBarSet("ms");
  *set << 9 << 14 << 11 << 16 << 12;
  auto* series = new QBarSeries;
  series->append(set);
  auto* chart = new QChart;
  chart->addSeries(series);
  chart->createDefaultAxes();
  QChartView view(chart);
  view.resize(609, 333);
  view.show();
  return app.exec();
}
