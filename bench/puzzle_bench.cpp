// SPDX-License-Identifier: GPL-3.0-or-later
// Times PlaceWords + FillGrid (drawing every cell into the off-screen backing
// image) for the grids of rounds 1, 5 and 10, with words of the lengths a
// round really asks for. The clock moves 1 ms per reading, as a real clock
// would during a set-up.
#include "app/image_surface.h"
#include "core/game_state.h"
#include "core/grid_filling.h"
#include "core/grid_layout.h"
#include "core/word_placement.h"
#include "widgets/game_fonts.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <random>

using namespace vortigo;

namespace {

void prepareRound(GameState& s, int round, std::mt19937& gen)
{
    fillConstantTables(s);
    const int k = roundTableIndex(round);
    s.GridCols = s.RoundCols(k);
    s.GridRows = s.RoundRows(k);
    s.LastWordIndex = s.RoundWords(k);
    for (int i = 0; i <= s.LastWordIndex; ++i) {
        std::string w(static_cast<std::size_t>(wordLengthForSlot(i)), 'A');
        for (char& c : w)
            c = static_cast<char>('A' + gen() % 26);
        s.WordList(i) = w;
    }
}

void BM_MakePuzzle(benchmark::State& bench)
{
    const int round = static_cast<int>(bench.range(0));
    std::mt19937 gen(42);
    GameState s;
    ImageSurface surface;
    surface.resize(1920, 1000);
    double clock = 30000.0;
    ClockRandom random([&clock] { return clock += 0.001; });
    prepareRound(s, round, gen);
    ComputeGridLayout(s, surface, {1920, 1000, 111, 49});
    for (auto _ : bench) {
        PlaceWords(s, random);
        FillGrid(s, surface, random, "Brivo");
        benchmark::DoNotOptimize(s.CellLetter(1, 1));
    }
    bench.SetLabel(std::to_string(s.GridCols) + "x" + std::to_string(s.GridRows) + ", "
                   + std::to_string(s.LastWordIndex + 1) + " words");
}

void BM_PlaceWordsOnly(benchmark::State& bench)
{
    const int round = static_cast<int>(bench.range(0));
    std::mt19937 gen(42);
    GameState s;
    double clock = 30000.0;
    ClockRandom random([&clock] { return clock += 0.001; });
    prepareRound(s, round, gen);
    for (auto _ : bench)
        benchmark::DoNotOptimize(PlaceWords(s, random));
}

}  // namespace

BENCHMARK(BM_MakePuzzle)->Arg(1)->Arg(5)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlaceWordsOnly)->Arg(1)->Arg(5)->Arg(10)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    // Fonts need a GUI application; no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    registerGameFonts();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
