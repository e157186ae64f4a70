// What the window's chart is drawn from, as the update cycle and the chart's timer drive it.

#include <gtest/gtest.h>

#include "tests/app/form_harness.h"

namespace quorvane {
namespace {

using testing::FormHarness;

TEST(FormChart, BeforeTheFirstFixSaysWhatItWaitsFor) {
  FormHarness h;
  h.ServerRunning(false);
  h.form->OnCreate();
  h.form->OnShow();
  EXPECT_EQ(h.form->Chart().waiting_text, "Waiting for a simulator...");
  h.ServerRunning(true);
  h.FailSamples(true);
  h.clock.Advance(5000);  // connected, but no sample succeeds
  EXPECT_EQ(h.form->Chart().waiting_text, "Waiting for the aircraft's position...");
  EXPECT_FALSE(h.form->Chart().latest);
  EXPECT_TRUE(h.form->Chart().segments.empty());
}

TEST(FormChart, ShowsTheRouteFlownWithItsGapsAndTheLatestFix) {
  FormHarness h;
  h.PutAircraft({50.1, 14.25, 90.0, 0.0, 80.0, 0.0});
  h.form->OnCreate();  // a moving fix at 23:59:00
  h.form->OnShow();
  h.clock.Advance(60000);  // and another
  h.FailSamples(true);
  h.clock.Advance(60000);  // a failed sample: the route breaks
  h.FailSamples(false);
  h.PutAircraft({50.3, 14.45, 90.0, 0.0, 80.0, 0.0});
  h.clock.Advance(5000);  // the retry reconnects and samples at 00:01:05
  h.PutAircraft({50.4, 14.45, 200.0, 10.0, 30.0, 0.0, 15240.0});
  h.clock.Advance(60000);  // standing: the latest fix, but no point of the route

  const ChartInput& chart = h.form->Chart();
  ASSERT_EQ(chart.segments.size(), 2u);
  EXPECT_EQ(chart.segments[0].size(), 2u);
  ASSERT_EQ(chart.segments[1].size(), 1u);
  EXPECT_NEAR(chart.segments[1][0].latitude, 50.3, 1e-6);
  ASSERT_TRUE(chart.latest && chart.latest->ground_speed_knots);
  EXPECT_NEAR(chart.latest->position.latitude, 50.4, 1e-6);
  EXPECT_NEAR(chart.latest->heading, 189.57, 0.005) << "as the status bar shows it";
  EXPECT_NEAR(*chart.latest->ground_speed_knots, 30.0 * 3600 / 1852, 1e-3);
  ASSERT_TRUE(chart.latest->altitude_feet);
  EXPECT_NEAR(*chart.latest->altitude_feet, 50000.0, 1e-6) << "the altitude read, in feet";
  EXPECT_EQ(chart.last_update, h.Now());
}

TEST(FormChart, RedrawnAfterEveryUpdateAndEverySecondUntilClosed) {
  FormHarness h;
  h.form->OnCreate();
  h.form->OnShow();
  const int shown = h.view.chart_redraws;
  EXPECT_GE(shown, 1);
  h.clock.Advance(60000);  // 60 seconds and an update
  EXPECT_EQ(h.view.chart_redraws, shown + 61);
  EXPECT_EQ(h.form->Chart().now, h.Now()) << "'how long ago' moves on";
  EXPECT_TRUE(h.form->OnCloseRequested());
  const int closed = h.view.chart_redraws;
  h.clock.Advance(5000);
  EXPECT_EQ(h.view.chart_redraws, closed);
}

}  // namespace
}  // namespace quorvane
