#include <benchmark/benchmark.h>

#include "app/features/Equalizer.h"

namespace tavrin {
namespace {

// One EQ slider move as the window thread computes it, without the device: the gain from the
// slider position, the working record with its flat test, the packed preset slot and the two
// register bytes of the band. The position sweeps the whole travel and all five bands.
void BM_EqSliderMove(benchmark::State& state) {
    const SliderTravel travel{200, 120};
    EqRecord record;
    int32_t offset = 0;
    int32_t band = 0;
    for (auto _ : state) {
        const uint16_t gain = GainFromSliderTop(travel.top + offset, travel);
        record.gains[band] = gain;
        bool flat = IsFlat(record);
        std::array<uint8_t, 16> slot = PackEqSlot(record);
        std::array<EqRegisterWrite, 2> writes = BandRegisterWrites(band, gain, 0xE4);
        benchmark::DoNotOptimize(flat);
        benchmark::DoNotOptimize(slot);
        benchmark::DoNotOptimize(writes);
        offset = offset == travel.range ? 0 : offset + 1;
        band = band == kEqBandCount - 1 ? 0 : band + 1;
    }
}
BENCHMARK(BM_EqSliderMove);

}  // namespace
}  // namespace tavrin
