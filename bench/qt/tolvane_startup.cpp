// The program's own start-up (the same RunProgram as tolvane's main), ended
// as soon as its window is first shown.
#include <QApplication>

#include "first_shown.h"
#include "qt/program.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  tolvane::bench::QuitWhenFirstShown(app);
  return tolvane::ui::RunProgram(app);
}
