// The ping run against a scripted engine and a recording view: every press,
// tick and stop, with no network, no root and no display.
#include "app/run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <utility>
#include <string>
#include <vector>

#include "app/messages.h"
#include "probe/privileges.h"
#include "support/fake_engine.h"
#include "support/fakes.h"

namespace tolvane::ui {
namespace {

using testing::Echo;
using testing::Lost;
using testing::NotPermitted;
using testing::Reply;
using Icon = RunView::BoxIcon;

class RecordingView final : public RunView {
 public:
  // A row as the chart holds it: label, value ("-" for no reply) and tooltip.
  struct Row {
    std::string label, value, tip;
    bool operator==(const Row&) const = default;
  };
  Row row(int n) const {
    const auto i = static_cast<std::size_t>(n - 1);
    const ChartModel::Row& r = chart_.model().rows().at(i);
    const bool reply = r.kind == ChartModel::Kind::Reply;
    return {r.label, reply ? std::to_string(std::lround(r.value)) : "-", chart_.model().TipText(i)};
  }
  int rowCount() const { return static_cast<int>(chart_.model().rows().size()); }
  const std::string& host() const { return chart_.model().host(); }
  struct Box {
    std::string text;
    Icon icon;
    bool operator==(const Box&) const = default;
  };
  ChartControl& chart() override { return chart_; }
  void SetCurrentText(const std::string& text) override { current = text; }
  void SetResultsText(const std::string& text) override { results = text; }
  void ShowStop(bool shown) override { stopShown = shown; }
  void SetTimerPeriod(std::int32_t milliseconds) override { period = milliseconds; }
  void SetTimerEnabled(bool enabled) override { timerOn = enabled; }
  void ShowMessage(const std::string& text, Icon icon) override { boxes.push_back({text, icon}); }

  int period = -1;
  std::string current, results;
  bool stopShown = false, timerOn = false;
  std::vector<Box> boxes;

 private:
  ChartControl chart_;
};

constexpr const char* kProgram = "/opt/tolvane/bin/tolvane";

class RunTest : public ::testing::Test {
 protected:
  RunTest() { lookup.names = {{"responder.test", "10.77.2.15"}, {"10.77.2.30", "10.77.2.30"}}; }

  void Press(const std::string& host, const std::string& count, const std::string& seconds,
             std::vector<Echo> echoes = {}) {
    icmp.script.assign(echoes.begin(), echoes.end());
    icmp.sent.clear();
    run.Press({host, count, seconds});
  }
  void Tick(std::vector<Echo> echoes, const std::string& seconds = "2") {
    for (const Echo& echo : echoes) {
      icmp.script = {echo};
      run.Tick(seconds);
    }
  }

  testing::FakeSocketLibrary sockets;
  testing::ScriptedIcmpService icmp;
  testing::TableHostLookup lookup;
  testing::RecordingSink messages;
  probe::Platform platform{sockets, icmp, messages};
  resolve::Resolver resolver{sockets, lookup, messages};
  probe::Checker checker{platform};
  RecordingView view;
  PingRun run{checker, resolver, view, NumberSeparators{}, kProgram};
};

TEST_F(RunTest, RunOf12And15LostAnd20KeepsStatisticsOverAnsweredSamples) {
  Press("10.77.2.9", "4", "2", {Reply(1)});
  EXPECT_TRUE(view.timerOn && view.stopShown && run.running());
  EXPECT_EQ(std::tuple(view.period, view.rowCount(), view.host()), std::tuple(2000, 4, "10.77.2.9"));

  struct Expected {
    Echo echo;
    RecordingView::Row row;
    const char* current;
    const char* results;
    std::int32_t maxt, mint, sumt;
  };
  const Expected ticks[] = {
      {Reply(12.25), {" 2", "12", "12.250 ms"}, "12ms", "Min Rt:12 Max Rt:12", 12, 12, 12},
      {Reply(15), {" 4", "15", "15.000 ms"}, "15ms", "Min Rt:12 Max Rt:15", 15, 12, 27},
      {Lost(), {" 6", "-", "11010   [ ip req timed out ]"}, "no reply", "Min Rt:12 Max Rt:15", 15, 12, 27},
      {Reply(20), {" 8", "20", "20.000 ms"}, "20ms", "Min Rt:12 Max Rt:20", 20, 12, 47},
  };
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i + 1);
    Tick({ticks[i].echo});
    EXPECT_TRUE(view.row(i + 1) == ticks[i].row);
    EXPECT_EQ(view.current, ticks[i].current);
    EXPECT_EQ(view.results, ticks[i].results);
    EXPECT_EQ(std::vector({run.maxt, run.mint, run.sumt}),
              std::vector({ticks[i].maxt, ticks[i].mint, ticks[i].sumt}));
    EXPECT_EQ(run.curping, i + 2);
  }
  EXPECT_EQ(icmp.sent, std::vector<std::string>(5, "10.77.2.9"));

  // One period after the last sample: 47 over 3 answered samples, not 4;
  // a tick still queued then changes nothing.
  for (int tick : {5, 6}) {
    SCOPED_TRACE(tick);
    Tick({Reply(1)});
    EXPECT_EQ(std::pair(view.current, run.sumt), std::pair(std::string("Avr:16"), 16));
    EXPECT_FALSE(view.timerOn || view.stopShown || run.running());
    EXPECT_EQ(icmp.sent.size(), 5u);
  }
  EXPECT_TRUE(view.boxes.empty());
}

TEST_F(RunTest, RunsEndWithTheAverageOfTheirAnsweredSamples) {
  struct Case {
    std::vector<Echo> samples;
    const char* lastTip;
    const char* results;
    const char* average;
  };
  const Case cases[] = {
      {{Reply(10), Reply(11)}, "11.000 ms", "Min Rt:10 Max Rt:11", "Avr:10"},  // halves to even
      {{Reply(11), Reply(12.0004)}, "12.000 ms", "Min Rt:11 Max Rt:12", "Avr:12"},
      {{Reply(15.9996)}, "16.000 ms", "Min Rt:15 Max Rt:15", "Avr:15"},
      {{Reply(0.25), Lost(probe::kIpDestHostUnreachable)}, "11003   [ ip dest host unreachable ]",
       "Min Rt:0 Max Rt:0", "Avr:0"},
      {{Lost(), Lost()}, "11010   [ ip req timed out ]", "Min Rt:- Max Rt:-", "Avr:-"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.average);
    Press("10.77.2.9", std::to_string(c.samples.size()), "0.5", {Reply(3)});
    Tick(c.samples);
    EXPECT_EQ(view.row(static_cast<int>(c.samples.size())).tip, c.lastTip);
    EXPECT_EQ(view.results, c.results);
    EXPECT_TRUE(run.running());
    Tick({Reply(1)});
    EXPECT_EQ(view.current, c.average);
    EXPECT_FALSE(run.running());
  }
}

// Each row is refused by its message before any echo, whether idle or while
// a run goes on, and a run going on is left exactly as it was.
TEST_F(RunTest, TypedValuesAreRefusedBeforeAnyEcho) {
  const std::string countLimit(kCountLimitMessage), intervalLimit(kIntervalLimitMessage);
  const std::string badCount(kBadCountMessage), badInterval = BadIntervalMessage(".");
  struct Case {
    const char *count, *seconds;
    const std::string& message;
  };
  const Case cases[] = {
      // Over a limit: the count is judged first.
      {"51", "2", countLimit}, {"50.5", "2", countLimit}, {"51", "61", countLimit}, {"&H40", "2", countLimit},
      {"6", "61", intervalLimit}, {"6", "60.01", intervalLimit}, {"6", "1e2", intervalLimit},
      // Not a value the run could use.
      {"", "2", badCount}, {"abc", "2", badCount}, {"0", "2", badCount}, {"-3", "2", badCount},
      {"0.4", "2", badCount}, {"6x", "2", badCount}, {"x", "x", badCount}, {"1,000", "2", badCount},
      {"6", "", badInterval}, {"6", "two", badInterval}, {"6", "-1", badInterval}, {"6", "2s", badInterval},
      {"6", "0,050", badInterval}, {"6", "0,001", badInterval}, {"6", "1e-999", badInterval},
      // Hostile numbers.
      {"1e400", "2", countLimit}, {"6", "1e400", intervalLimit}, {"-1e400", "2", badCount},
      {"-0", "2", badCount}, {"&H7FFFFFFF", "2", countLimit}, {"6", "&H7FFFFFFF", intervalLimit},
      {"\xd9\xa3", "2", badCount}, {"6", "\xd9\xa3", badInterval},  // an Arabic-Indic 3
      {"nan", "2", badCount}, {"6", "inf", badInterval}, {"32768", "2", countLimit},
  };
  for (bool during : {false, true}) {
    if (during) {
      Press("10.77.2.9", "12", "0.25", {Reply(1)});
      Tick({Reply(30)});
    }
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(during ? "running: '" : "idle: '") + c.count + "' '" + c.seconds + "'");
      view.boxes.clear();
      Press("10.77.2.20", c.count, c.seconds, {Reply(1)});
      EXPECT_EQ(view.boxes, (std::vector<RecordingView::Box>{{c.message, Icon::None}}));
      EXPECT_TRUE(icmp.sent.empty());
      EXPECT_EQ(run.running(), during);
      EXPECT_EQ(view.timerOn, during);
      if (during) {
        EXPECT_EQ(std::vector({run.maxt, run.mint, run.sumt}), std::vector({30, 30, 30}));
        EXPECT_EQ(run.curhost, "10.77.2.9");
        EXPECT_EQ(view.rowCount(), 12);
        EXPECT_EQ(run.curping, 2);
      }
    }
  }
}

TEST_F(RunTest, TypedValuesThatPassSetTheRowsAndThePeriod) {
  struct Case {
    const char *count, *seconds;
    NumberSeparators separators;
    int rows, period;
    const char* firstLabel;
  };
  const NumberSeparators german{","};
  const Case cases[] = {
      {"50", "60", {}, 50, 60000, " 60"},
      {" 2.5 ", "0.0005", {}, 2, 0, " .0005"},  // halves to even; a period that never ticks
      {"3.5", "0.0015", {}, 4, 2, " .0015"},
      {"6", "0", {}, 6, 0, " 0"}, {"6", "-0", {}, 6, 0, " 0"}, {"6\n", " 2 ", {}, 6, 2000, " 2"},
      {"2", "0,25", german, 2, 250, " .25"},  // the point in the label, whatever the locale
      {"2,5", "1", german, 2, 1000, " 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.count) + " " + c.seconds);
    PingRun local(checker, resolver, view, c.separators, kProgram);
    icmp.script = {Reply(1), Reply(7)};
    local.Press({"10.77.2.9", c.count, c.seconds});
    EXPECT_TRUE(view.boxes.empty());
    EXPECT_EQ(view.rowCount(), c.rows);
    EXPECT_EQ(view.period, c.period);
    EXPECT_EQ(TimerTicks(view.timerOn, view.period), c.period > 0);
    EXPECT_TRUE(local.running() && view.timerOn && view.stopShown);
    local.Tick(c.seconds);
    EXPECT_EQ(view.row(1).label, c.firstLabel);
  }
}

// Where the locale writes a decimal comma, "0.5" is refused by a box that
// says which separator the interval box reads.
TEST_F(RunTest, ARefusedIntervalNamesTheDecimalSeparator) {
  PingRun german(checker, resolver, view, NumberSeparators{","}, kProgram);
  german.Press({"10.77.2.9", "6", "0.5"});
  ASSERT_EQ(view.boxes.size(), 1u);
  EXPECT_NE(view.boxes[0].text.find("with \",\" as its decimal separator, as in 0,5."), std::string::npos)
      << view.boxes[0].text;
  EXPECT_TRUE(icmp.sent.empty());
}

TEST_F(RunTest, FailedProbesAtThePressTellWhy) {
  const std::string unresponsive(kUnresponsiveMessage);
  const std::string permission = NotPermittedMessage(kProgram, probe::FolderIsWritable(kProgram));
  struct Case {
    const char* host;
    std::vector<Echo> echoes;
    std::vector<std::string> sent;
    std::vector<std::string> asked;
    RecordingView::Box box;
  };
  const Case cases[] = {
      {"10.77.2.30", {Lost(), Lost()}, {"10.77.2.30", "10.77.2.30"}, {"10.77.2.30"}, {unresponsive, Icon::None}},
      // Not found: one lookup asked for both families, so one wait at most.
      {"nowhere.test", {Lost(), Lost()}, {"0.0.0.0", "0.0.0.0"}, {"nowhere.test"}, {unresponsive, Icon::None}},
      {"10.77.2.9", {NotPermitted()}, {"10.77.2.9"}, {}, {permission, Icon::Warning}},
      {"responder.test", {Lost(), NotPermitted()}, {"0.0.0.0", "10.77.2.15"}, {"responder.test"},
       {permission, Icon::Warning}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.host);
    view.boxes.clear();
    lookup.asked.clear();
    Press(c.host, "6", "2", c.echoes);
    EXPECT_EQ(icmp.sent, c.sent);
    EXPECT_EQ(lookup.asked, c.asked);
    EXPECT_EQ(view.boxes, std::vector{c.box});
    EXPECT_FALSE(run.running() || view.timerOn || view.stopShown);
  }
}

TEST_F(RunTest, WhereIPv4FindsNothingIPv6IsGraphed) {
  lookup.names6 = {{"v6only.test", "fd4c:7f1e:a7b0:3::15"}, {"dual.test", "fd4c:7f1e:a7b0:3::15"}};
  lookup.names["dual.test"] = "10.77.2.30";
  const std::string unresponsive(kUnresponsiveMessage);
  const struct {
    const char* host;
    std::vector<Echo> echoes;
    std::vector<std::string> sent;
    const char* graphed;  // nullptr: refused as unresponsive
    std::size_t lookups;
  } cases[] = {
      {"::1", {Reply(0)}, {"::1"}, "::1", 0},
      {"v6only.test", {Lost(), Lost(), Reply(15)}, {"0.0.0.0", "0.0.0.0", "fd4c:7f1e:a7b0:3::15"},
       "fd4c:7f1e:a7b0:3::15", 1},
      {"v6only.test", {Lost(), Lost(), Lost()}, {"0.0.0.0", "0.0.0.0", "fd4c:7f1e:a7b0:3::15"}, nullptr, 1},
      {"dual.test", {Lost(), Lost()}, {"0.0.0.0", "10.77.2.30"}, nullptr, 1},  // its IPv4 address holds
      {"fe80::1", {}, {"0.0.0.0", "0.0.0.0"}, nullptr, 1},                     // a link needs its scope
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.host);
    view.boxes.clear();
    view.chart().SetHostText("");
    lookup.asked.clear();
    Press(c.host, "6", "2", c.echoes);
    EXPECT_EQ(icmp.sent, c.sent);
    EXPECT_EQ(lookup.asked.size(), c.lookups);
    EXPECT_EQ(run.running(), c.graphed != nullptr);
    EXPECT_EQ(view.host(), c.graphed ? c.graphed : "");
    EXPECT_EQ(view.boxes.empty(), c.graphed != nullptr);
    run.Stop();
  }
}

TEST_F(RunTest, StopLeavesEverythingAsItWas) {
  Press("10.77.2.9", "10", "2", {Reply(1)});
  Tick({Reply(12), Reply(0.4)});  // a fast reply, not a lost one
  run.Stop();
  EXPECT_FALSE(run.running() || view.timerOn || view.stopShown);
  icmp.sent.clear();
  Tick({Reply(99)});
  EXPECT_TRUE(icmp.sent.empty());
  EXPECT_EQ(view.current, "0ms");
  EXPECT_EQ(view.results, "Min Rt:0 Max Rt:12");
  EXPECT_EQ(run.curping, 3);
  EXPECT_EQ(view.chart().model().rows()[2].kind, ChartModel::Kind::Empty);
  // And again while idle: nothing to stop.
  run.Stop();
  EXPECT_FALSE(run.running() || view.stopShown);
}

TEST_F(RunTest, PressDuringARunStartsTheNewRun) {
  Press("10.77.2.9", "20", "2", {Reply(1)});
  Tick({Reply(5), Reply(40)});
  Press("10.77.2.20", "3", "0.3", {Reply(20)});
  EXPECT_EQ(std::tuple(view.period, view.rowCount(), view.host()), std::tuple(300, 3, "10.77.2.20"));
  EXPECT_EQ(view.current, "40ms");  // until the new run's first tick
  EXPECT_EQ(std::vector({run.maxt, run.mint, run.sumt, run.numreplies}), std::vector({-1, -1, 0, 0}));
  // The interval box is read afresh for each label; the period stays.
  Tick({Reply(20)}, "0.3");
  Tick({Reply(22)}, "1");
  Tick({Reply(21)}, "not now");  // unreadable: the run's own interval
  EXPECT_EQ(std::vector({view.row(1).label, view.row(2).label, view.row(3).label}),
            std::vector<std::string>({" .3", " 2", " .9"}));
  EXPECT_EQ(icmp.sent.back(), "10.77.2.20");
  EXPECT_EQ(view.results, "Min Rt:20 Max Rt:22");
  EXPECT_EQ(view.period, 300);
}

}  // namespace
}  // namespace tolvane::ui
