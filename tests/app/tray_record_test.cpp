// The icon record: what TrayAdd writes and sends, what TrayRemove sends,
// and the tip field's rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/notify_area.h"
#include "app/tray.h"
#include "app/tray_icon_record.h"

namespace tolvane::ui::tray {
namespace {

// The shell's side: keeps what it was sent, holds icons by window and id,
// and refuses a second icon with the same window and id as the shell does.
class RecordingArea : public NotifyArea {
 public:
  bool Add(const TrayIconRecord& record) override {
    added.push_back(record);
    if (refuse || Holds(record)) return false;
    up.push_back(record);
    return true;
  }
  void Delete(const TrayIconRecord& record) override {
    deleted.push_back(record);
    std::erase_if(up, [&](const TrayIconRecord& r) {
      return r.window == record.window && r.id == record.id;
    });
  }
  bool Holds(const TrayIconRecord& record) const {
    for (const auto& r : up) {
      if (r.window == record.window && r.id == record.id) return true;
    }
    return false;
  }

  bool refuse = false;
  std::vector<TrayIconRecord> added, deleted, up;
};

std::string Field(const TipField& tip) { return std::string(tip.begin(), tip.end()); }

class TrayRecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetTray();
    UseTrayPlatform(&area, nullptr);
  }
  void TearDown() override { ResetTray(); }

  RecordingArea area;
};

TEST(TipFieldTest, TextThenOneNulThenSpacesToSixtyFour) {
  const std::string field = Field(MakeTipField("Tolvane"));
  ASSERT_EQ(field.size(), 64u);
  EXPECT_EQ(field, std::string("Tolvane") + '\0' + std::string(56, ' '));
  EXPECT_EQ(TipText(MakeTipField("Tolvane")), "Tolvane");

  EXPECT_EQ(Field(MakeTipField("")), '\0' + std::string(63, ' '));
  EXPECT_EQ(TipText(MakeTipField("")), "");
}

TEST(TipFieldTest, LongTextsAreCutAtSixtyFourWithoutNul) {
  const std::string sixtyThree(63, 'a');
  EXPECT_EQ(Field(MakeTipField(sixtyThree)), sixtyThree + '\0');

  const std::string sixtyFour(64, 'b');
  EXPECT_EQ(Field(MakeTipField(sixtyFour)), sixtyFour);
  EXPECT_EQ(TipText(MakeTipField(sixtyFour)), sixtyFour);

  const std::string longer = std::string(64, 'c') + "dropped";
  EXPECT_EQ(Field(MakeTipField(longer)), std::string(64, 'c'));
}

TEST_F(TrayRecordTest, BeforeTheFirstAddEveryFieldIsZero) {
  const TrayIconRecord& r = TrayRecord();
  EXPECT_EQ(r.size, 0u);
  EXPECT_EQ(r.window, 0u);
  EXPECT_EQ(r.id, 0u);
  EXPECT_EQ(r.flags, 0u);
  EXPECT_EQ(r.callbackMessage, 0u);
  EXPECT_EQ(r.icon, 0u);
  EXPECT_EQ(Field(r.tip), std::string(64, '\0'));
}

TEST_F(TrayRecordTest, AddWritesTheRecordAndSendsIt) {
  ASSERT_TRUE(TrayAdd(0x3a00007, 0x51, 0x51, "Tolvane"));
  const TrayIconRecord& r = TrayRecord();
  EXPECT_EQ(r.size, 88u);
  EXPECT_EQ(r.window, 0x3a00007u);
  EXPECT_EQ(r.id, 0x51u);
  EXPECT_EQ(r.flags, 7u);
  EXPECT_EQ(r.callbackMessage, 517u);
  EXPECT_EQ(r.icon, 0x51u);
  EXPECT_EQ(TipText(r.tip), "Tolvane");

  ASSERT_EQ(area.added.size(), 1u);
  EXPECT_EQ(area.added[0].window, r.window);
  EXPECT_EQ(area.added[0].size, 88u);
  EXPECT_EQ(Field(area.added[0].tip), Field(r.tip));
}

TEST_F(TrayRecordTest, RemoveWithoutAddSendsTheEmptyRecordAndChangesNothing) {
  TrayRemove();
  ASSERT_EQ(area.deleted.size(), 1u);
  EXPECT_EQ(area.deleted[0].size, 0u);
  EXPECT_EQ(area.deleted[0].window, 0u);
  EXPECT_EQ(area.deleted[0].id, 0u);
  EXPECT_TRUE(area.up.empty());
  EXPECT_EQ(TrayRecord().size, 0u);
}

TEST_F(TrayRecordTest, RemoveDeletesTheLastAddAndKeepsTheRecord) {
  ASSERT_TRUE(TrayAdd(10, 20, 20, "Tolvane"));
  TrayRemove();
  EXPECT_TRUE(area.up.empty());
  ASSERT_EQ(area.deleted.size(), 1u);
  EXPECT_EQ(area.deleted[0].window, 10u);
  EXPECT_EQ(area.deleted[0].id, 20u);
  // Not cleared: a second remove names the same icon, which is gone.
  EXPECT_EQ(TrayRecord().window, 10u);
  EXPECT_EQ(TrayRecord().size, 88u);
  TrayRemove();
  EXPECT_EQ(area.deleted.size(), 2u);
  EXPECT_EQ(area.deleted[1].id, 20u);
}

TEST_F(TrayRecordTest, SystrayRestoreSystrayAddsOnceMoreWithTheSameWindowAndId) {
  ASSERT_TRUE(TrayAdd(10, 20, 20, "Tolvane"));
  TrayRemove();
  ASSERT_TRUE(TrayAdd(10, 20, 20, "Tolvane"));
  EXPECT_EQ(area.added.size(), 2u);
  ASSERT_EQ(area.up.size(), 1u);
  EXPECT_EQ(area.up[0].window, 10u);
  EXPECT_EQ(area.up[0].id, 20u);
}

TEST_F(TrayRecordTest, RefusedAddSaysSoAndKeepsWhatWasSent) {
  area.refuse = true;
  EXPECT_FALSE(TrayAdd(10, 20, 20, "Tolvane"));
  EXPECT_EQ(TrayRecord().window, 10u);
  EXPECT_EQ(TrayRecord().size, 88u);
  // A second icon for the same window and id is refused too.
  area.refuse = false;
  ASSERT_TRUE(TrayAdd(10, 20, 20, "Tolvane"));
  EXPECT_FALSE(TrayAdd(10, 20, 20, "Tolvane"));
}

TEST_F(TrayRecordTest, WithoutANotificationAreaEveryAddIsRefused) {
  UseTrayPlatform(nullptr, nullptr);
  EXPECT_FALSE(TrayAdd(10, 20, 20, "Tolvane"));
  TrayRemove();  // and a remove has nothing to talk to
  EXPECT_TRUE(area.added.empty());
  EXPECT_TRUE(area.deleted.empty());
}

}  // namespace
}  // namespace tolvane::ui::tray
