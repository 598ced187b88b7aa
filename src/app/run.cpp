#include "app/run.h"

#include <algorithm>

#include "app/messages.h"
#include "app/rounding.h"
#include "app/row_label.h"
#include "probe/privileges.h"
#include "probe/probe.h"
#include "resolve/resolve.h"

namespace tolvane::ui {
namespace {

constexpr int kMaxPings = 50;
constexpr double kMaxIntervalSeconds = 60;

}  // namespace

PingRun::PingRun(probe::Checker& checker, resolve::Resolver& resolver, RunView& view,
                 NumberSeparators separators, std::string program)
    : checker_(checker),
      resolver_(resolver),
      view_(view),
      separators_(std::move(separators)),
      program_(std::move(program)) {}

void PingRun::Press(const TypedRun& typed) {
  // Everything typed is read and judged before any echo goes out; a refused
  // press leaves a run in progress exactly as it was.
  const auto count = ReadCount(typed.count);
  if (!count) return;
  const auto seconds = ReadInterval(typed.interval);
  if (!seconds) return;

  std::string host = typed.host;
  if (checker_.check(host) == probe::kNoReply) {
    if (RefusedForPermission()) return;
    // Both families from one lookup: a name the resolver never answers for
    // holds the window for one lookup's wait.
    const resolve::ResolvedHost resolved = resolve::ResolveHost(typed.host, resolver_);
    host = resolved.address;
    if (checker_.check(host) == probe::kNoReply) {
      if (RefusedForPermission()) return;
      // Where IPv4 found nothing: a name with only IPv6 addresses takes
      // its first. (A typed IPv6 address was probed as typed already.)
      const std::string& host6 = resolved.address6;
      const bool answered = !host6.empty() && checker_.check(host6) != probe::kNoReply;
      if (!answered) {
        if (!host6.empty() && RefusedForPermission()) return;
        Refuse(kUnresponsiveMessage);
        return;
      }
      host = host6;
    }
  }

  maxt = kNoStatistic;
  mint = kNoStatistic;
  sumt = 0;
  numreplies = 0;
  curhost = host;
  curping = 1;
  view_.chart().SetRowCount(*count);
  numpings = *count;
  view_.chart().SetHostText(host);
  runInterval_ = *seconds;
  view_.SetTimerPeriod(RoundHalfEven32(*seconds * 1000).value_or(0));
  view_.SetTimerEnabled(true);
  running_ = true;
  view_.ShowStop(true);
}

std::nullopt_t PingRun::Refuse(std::string_view message) {
  view_.ShowMessage(std::string(message), RunView::BoxIcon::None);
  return std::nullopt;
}

std::optional<std::int16_t> PingRun::ReadCount(const std::string& text) {
  if (LeadingNumber(text) > kMaxPings) return Refuse(kCountLimitMessage);
  const auto value = StrictNumber(text, separators_);
  if (!value) return Refuse(kBadCountMessage);
  // The two readings disagree where the locale has another decimal separator.
  if (*value > kMaxPings) return Refuse(kCountLimitMessage);
  const auto count = RoundHalfEven16(*value);
  if (!count || *count < 1) return Refuse(kBadCountMessage);
  return count;
}

std::optional<double> PingRun::ReadInterval(const std::string& text) {
  if (LeadingNumber(text) > kMaxIntervalSeconds) return Refuse(kIntervalLimitMessage);
  const auto value = StrictNumber(text, separators_);
  if (!value || *value < 0) return Refuse(BadIntervalMessage(DecimalSeparator(separators_)));
  if (*value > kMaxIntervalSeconds) return Refuse(kIntervalLimitMessage);
  return value;
}

bool PingRun::RefusedForPermission() {
  if (checker_.reply.Status != probe::kIcmpNotPermitted) return false;
  view_.ShowMessage(NotPermittedMessage(program_, probe::FolderIsWritable(program_)), RunView::BoxIcon::Warning);
  return true;
}

void PingRun::Stop() {
  view_.SetTimerEnabled(false);
  running_ = false;
  view_.ShowStop(false);
}

void PingRun::Tick(const std::string& intervalText) {
  // A tick still queued when the run ended must not end it again: the
  // average would be divided once more.
  if (!running_) return;
  if (curping <= numpings) {
    graphping(intervalText);
    ++curping;
    return;
  }
  Stop();
  const auto average = AverageOf(sumt, numreplies);
  if (average) sumt = *average;
  view_.SetCurrentText(AverageText(average));
}

void PingRun::graphping(const std::string& intervalText) {
  ChartControl& chart = view_.chart();
  chart.SelectRow(curping);
  // The box is read afresh for every label; once it no longer reads as a
  // number, the interval the run started with stands in.
  const double seconds = StrictNumber(intervalText, separators_).value_or(runInterval_);
  chart.SetRowLabel(RowLabel(seconds * curping));

  const std::int32_t r = checker_.check(curhost);
  const probe::EchoReply& reply = checker_.reply;
  const bool answered = r != probe::kNoReply;
  const std::int64_t micros = reply.RoundTripMicroseconds > 0 ? reply.RoundTripMicroseconds : std::int64_t{r} * 1000;
  // The sample before the value: the value completes the row, so that a
  // screen reader hears its whole name at once.
  chart.SetRowSample({answered, answered ? micros : 0, reply.Status, checker_.statusText});
  chart.SetRowValue(std::to_string(answered ? r : 0));
  if (answered) {
    maxt = std::max(maxt, r);
    mint = mint == kNoStatistic ? r : std::min(mint, r);
    sumt += r;
    ++numreplies;
  }
  view_.SetCurrentText(CurrentText(r));
  view_.SetResultsText(ResultsText(mint, maxt));
}

}  // namespace tolvane::ui
