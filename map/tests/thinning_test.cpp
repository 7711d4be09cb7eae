#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "map/redraw.h"
#include "map/station_thinning.h"
#include "obs/decoded_observation.h"
#include "tests/fakes/recording_canvas.h"

namespace norvane {
namespace {

using testing::RecordingCanvas;

TEST(StationThinning, NewestWinsAndNoKeptPlotsOverlap) {
  const PlotFootprint box{30, 14};
  const std::vector<ThinningCandidate> c = {
      {100, 100, 10},  // overlaps the next, older: left out
      {110, 105, 20},
      {140, 100, 5},   // exactly one width from the second: touching is not overlapping
      {110, 119, 1},   // exactly one height below
      {300, 300, 20},  // equal times: the earlier candidate wins
      {301, 301, 20},
  };
  EXPECT_EQ(ThinStations(c, box), (std::vector<bool>{false, true, true, true, true, false}));
  EXPECT_EQ(ThinStations(c, {0, 14}), std::vector<bool>(c.size(), true));

  // Random crowding, once in a window's extent and once with a far outlier (which
  // takes the cells out of the flat table): every pair of kept plots is apart, and
  // every left-out station overlaps a kept one that is at least as new.
  for (bool outlier : {false, true}) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> where(0, 400);
    std::uniform_int_distribution<int> when(0, 50);
    std::vector<ThinningCandidate> crowd;
    for (int k = 0; k < 600; ++k) crowd.push_back({where(random), where(random), when(random)});
    if (outlier) crowd.push_back({1e9, -1e9, 0});
    const std::vector<bool> keep = ThinStations(crowd, box);
    auto overlap = [&](const ThinningCandidate& a, const ThinningCandidate& b) {
      return std::abs(a.x - b.x) < box.width && std::abs(a.y - b.y) < box.height;
    };
    for (std::size_t i = 0; i < crowd.size(); ++i) {
      bool covered = false;
      for (std::size_t j = 0; j < crowd.size(); ++j) {
        if (i == j || !keep[j] || !overlap(crowd[i], crowd[j])) continue;
        EXPECT_FALSE(keep[i]) << i << " and " << j << " both kept";
        covered = covered || crowd[j].time >= crowd[i].time;
      }
      EXPECT_TRUE(keep[i] || covered) << i;
    }
    EXPECT_TRUE(keep.back() || !outlier);
  }
}

// With thinning off the redraw draws exactly what it drew before; on, it drops the
// older of two stations that share a spot.
TEST(StationThinning, RedrawSwitch) {
  ObservationStore store;
  store.Clear();
  std::string decoded(DecodedTemplate());
  decoded.replace(40, 3, "010");  // temperature column
  for (int i = 0; i < 3; ++i) {
    store[i] = {"KAA" + std::to_string(i), static_cast<std::int16_t>(i == 2 ? 3000 : 4000), -9700, {}};
    store[i].reports[0] = {1000 - i, "KAA 011200Z ", decoded.replace(41, 1, std::to_string(i))};
  }
  store[3].identifier = "end";
  auto draw = [&](std::optional<PlotFootprint> thinning) {
    RedrawState state;
    RedrawInputs in;
    in.store = &store, in.now = 1000, in.useCelsius = in.plots.temperature = true, in.thinning = thinning;
    RedrawHost host;
    host.updateScale = [](int, int) { return 1.0; };
    host.place = [](double lat, double lon) -> std::optional<ScreenPoint> { return ScreenPoint{lon * 10, -lat * 10}; };
    RecordingCanvas canvas;
    Redraw(state, in, host, canvas);
    std::vector<std::string> texts;
    for (const auto& op : canvas.ops)
      if (op.kind == RecordingCanvas::Kind::Text && op.y1 < 0)
        texts.push_back(std::to_string(static_cast<int>(op.y1)) + op.text);
    return texts;
  };
  using Texts = std::vector<std::string>;
  EXPECT_EQ(draw(std::nullopt), (Texts{"-400 0", "-400 10", "-300 20"}));
  EXPECT_EQ(draw(PlotFootprint{}), (Texts{"-400 0", "-300 20"}));  // the newer of the pair
}

}  // namespace
}  // namespace norvane
