// The live view file and the GPX track as the window's update cycle drives them.

#include <gtest/gtest.h>

#include "tests/app/form_harness.h"

namespace quorvane {
namespace {

using testing::FormHarness;

int Count(const std::string& text, const std::string& part) {
  int count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

class FollowAndTrackTest : public ::testing::Test {
 protected:
  std::string LiveFile() const { return h.ReadFile(h.File("Quorvane live.kml")); }
  std::string TrackFile() const { return h.ReadFile(h.File("trasa.gpx")); }
  FormHarness h;
};

TEST_F(FollowAndTrackTest, LiveViewFollowsTheInterval) {
  h.form->OnCreate();
  EXPECT_EQ(Count(LiveFile(), "<refreshInterval>60</refreshInterval>"), 3);
  h.form->OnIntervalTyped("1");  // on the way to 120: never written
  EXPECT_EQ(Count(LiveFile(), "<refreshInterval>60</refreshInterval>"), 3);
  h.form->OnIntervalTyped("12");
  h.form->OnIntervalTyped("120");
  EXPECT_EQ(Count(LiveFile(), "<refreshInterval>120</refreshInterval>"), 3);
}

TEST_F(FollowAndTrackTest, ViewFollowsEverySuccessfulSample) {
  h.form->OnCreate();
  EXPECT_NE(h.ReadFile(h.File("Quorvane view.kml")).find("<latitude>50.100000</latitude>"),
            std::string::npos);
  h.PutAircraft({51.5, -0.125, 90.0, 0.0, 0.0, 0.0});
  h.clock.Advance(60000);
  EXPECT_NE(h.ReadFile(h.File("Quorvane view.kml")).find("<latitude>51.500000</latitude>"),
            std::string::npos);
}

TEST_F(FollowAndTrackTest, TrackStartsANewSegmentAfterEveryGap) {
  h.PutAircraft({50.1, 14.25, 90.0, 0.0, 80.0, 0.0});
  h.form->OnCreate();  // a moving fix at 23:59:00
  h.form->OnShow();
  h.clock.Advance(60000);  // and another at 00:00:00
  h.FailSamples(true);
  h.clock.Advance(60000);  // a failed sample
  h.FailSamples(false);
  h.clock.Advance(5000);  // the retry reconnects and samples at 00:01:05
  h.PutAircraft({50.1, 14.25, 90.0, 0.0, 10.0, 0.0});
  h.clock.Advance(60000);  // standing: no point
  const std::string track = TrackFile();
  EXPECT_EQ(Count(track, "<trkseg>"), 2) << track;
  EXPECT_EQ(Count(track, "<trkpt "), 3);
  EXPECT_NE(track.find("<time>2024-02-29T23:59:00Z</time>"), std::string::npos);
  EXPECT_NE(track.find("<time>2024-03-01T00:00:00Z</time>"), std::string::npos);
  EXPECT_NE(track.find("<time>2024-03-01T00:01:05Z</time>"), std::string::npos);
  const auto second_segment = track.find("<trkseg>", track.find("<trkseg>") + 1);
  EXPECT_LT(track.find("00:00:00Z"), second_segment);
  EXPECT_GT(track.find("00:01:05Z"), second_segment);
  EXPECT_TRUE(h.form->OnCloseRequested());
  EXPECT_EQ(TrackFile(), track) << "saved again at close, the same";
}

}  // namespace
}  // namespace quorvane
