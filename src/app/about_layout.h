// The About dialog's parts as both dialogs make them: name, kind, design
// text and place (in twips from the top left of its client area), in tab
// order, and the rule that sizes the type of the texts that must fit their
// box. The Win32 dialog's control IDs are part of it: the Windows tests
// find the controls by them.
#pragma once

#include <functional>
#include <string_view>

#include "app/twips.h"

namespace tolvane::ui::about {

namespace ids {
enum AboutId : int {
  kPicIcon = 300,
  kLblTitle = 301,
  kLblVersion = 302,
  kLblDescription = 303,
  kLblDisclaimer = 304,
  kCmdOK = 1,  // IDOK: Enter presses it, Esc (IDCANCEL) closes the dialog too
};
}  // namespace ids

namespace layout {

using ui::layout::kTwipsPerPixel;
using ui::layout::Place;

constexpr Place kClientArea{0, 0, 5730, 3555};

// The etched separator: a grey line with a white one under it.
struct Line {
  int x1, x2, y, width;
};
constexpr Line kLine1Grey{90, 5654, 2445, kTwipsPerPixel};
constexpr Line kLine1White{105, 5654, 2460, 2 * kTwipsPerPixel};

}  // namespace layout

// A picture shows the program's icon in a sunken border; the button is the
// default (Enter) and the cancel (Esc) one; labels are green, wrapped, left
// aligned on the dialog's colour.
enum class Kind { Picture, Button, Label };

struct Control {
  ids::AboutId id;
  std::string_view name;
  Kind kind;
  std::string_view text;
  layout::Place place;
  // A long text set at load whose type shrinks until all of it shows.
  bool fitted = false;
};

// "OK" first: it takes the focus. Labels take none.
inline constexpr Control kControls[] = {
    {ids::kCmdOK, "cmdOK", Kind::Button, "OK", {4245, 2625, 1260, 345}},
    {ids::kPicIcon, "picIcon", Kind::Picture, "", {240, 240, 300, 300}},
    {ids::kLblDescription, "lblDescription", Kind::Label, "App Description", {1050, 1125, 3885, 1170}, true},
    {ids::kLblDisclaimer, "lblDisclaimer", Kind::Label, "Warning: ...", {255, 2625, 3870, 825}, true},
    {ids::kLblTitle, "lblTitle", Kind::Label, "Application Title", {1050, 240, 3885, 480}},
    {ids::kLblVersion, "lblVersion", Kind::Label, "Version", {1050, 780, 3885, 225}},
};

constexpr const Control& ControlOf(ids::AboutId id) {
  for (const Control& c : kControls) {
    if (c.id == id) return c;
  }
  return kControls[0];
}

// The smallest type a fitted text goes down to, and the step it shrinks by.
inline constexpr double kSmallestPoints = 6;
inline constexpr double kPointsStep = 0.5;

// The height in pixels a text takes, wrapped to its box's width, at a size
// in points; each front-end measures with its own fonts.
using TextHeight = std::function<int(double points)>;

// The size, from `points` down by steps to the smallest, at which the text
// first fits `boxHeight`; the smallest when none does, `points` when it is
// already below it. No part (the address at the description's end) is cut
// off when any size lets it all show.
inline double FittedPoints(double points, int boxHeight, const TextHeight& heightAt) {
  // Whole steps from the start, so that no sum of rounding errors skips
  // the smallest size.
  for (int step = 0;; ++step) {
    const double size = points - step * kPointsStep;
    const bool last = size - kPointsStep < kSmallestPoints;
    if (last || heightAt(size) <= boxHeight) return size;
  }
}

}  // namespace tolvane::ui::about
