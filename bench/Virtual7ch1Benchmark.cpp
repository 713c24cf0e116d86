#include <benchmark/benchmark.h>

#include "app/features/SpeakerGeometry.h"

namespace tavrin {
namespace {

// One tick of a rotation as the window thread computes it, without the device: the eight
// speakers placed from their records, the records turned by a degree, what the device is told
// taken from them and packed into the block. Next to it stands the 20 ms between two ticks.
void BM_MotionTick(benchmark::State& state) {
    const SpeakerCircle circle;
    const auto layout = ComputedDefaultLayout(circle);
    std::array<SpeakerPolar, kSpeakerCount> measured;
    for (size_t i = 0; i < kSpeakerCount; ++i) {
        measured[i] = MeasurePolar(layout[i], circle.centreX, circle.centreY);
    }
    SpeakerRecords records;
    records.Assign(measured);
    std::array<SpeakerPosition, kSpeakerCount> shown;
    for (auto _ : state) {
        for (size_t i = 0; i < kSpeakerCount; ++i) {
            shown[i] = PlacePolar(records[i], circle.centreX, circle.centreY);
        }
        records.Turn(-1);
        const auto block = BuildVirtualBlock(1, records.Parameters(), circle.radius);
        benchmark::DoNotOptimize(shown);
        benchmark::DoNotOptimize(block);
    }
}
BENCHMARK(BM_MotionTick);

}  // namespace
}  // namespace tavrin
