// SPDX-License-Identifier: GPL-3.0-or-later
// How long a round takes to make and to show, on the game's own clock and
// with real words drawn from the shipped Italian dictionary, for the grids of
// rounds 1, 5 and 10:
//
//   Puzzle/PlaceWords        placement only
//   Puzzle/PlaceAndLetters   placement + the letters of FillGrid (no drawing)
//   Reference/...            the same two with the first, literal version of
//                            the search (bench/reference_puzzle.h), on
//                            today's clock and generator: the pair isolates
//                            the search and the filling loop
//   Draw/SetUpOffscreen      layout + placement + filling + drawing into the
//                            grid's backing image
//   Screen/RoundSetUp        the real main window: a new round from the
//                            handler to the grid painted
//   Screen/ClickLetter       a click on a letter until its cell is painted
//   Screen/ClickCompletes    a click that completes a word (its cells repainted)
//
// Every figure is to be read against a baseline of the same run, since the
// machine is shared: Baseline/RandomFill (a plain random fill of the same
// grid) for the puzzle figures, Baseline/SystemClock for one clock reading,
// Baseline/BareFrame (one full frame of a bare window of the same size) for
// the drawing figures. bench/run_benchmarks.sh runs everything with
// repetitions and prints medians and ratios; `--dpr=2` runs the drawing at a
// device-pixel ratio of 2.
#include "app/dictionary_file.h"
#include "app/form1.h"
#include "app/image_surface.h"
#include "app/qt_platform.h"
#include "core/game_state.h"
#include "core/grid_filling.h"
#include "core/grid_layout.h"
#include "core/word_placement.h"
#include "bench/reference_puzzle.h"
#include "widgets/game_fonts.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <vector>

#include <unistd.h>

using namespace vortigo;

namespace {

// The game's platform with its real clock; boxes and sounds do nothing.
class BenchPlatform : public QtPlatform {
public:
    using QtPlatform::QtPlatform;
    Answer messageBox(const std::string&, Buttons) override { return Answer::Ok; }
    void playSound(const std::string&) override {}
    void runCommand(const std::string&, int) override {}
};

std::filesystem::path g_folder;  // a copy of the shipped data files
BenchPlatform* g_platform = nullptr;
int g_dpr = 1;

constexpr int kWordSets = 64;

ClockRandom gameRandom()
{
    // Exactly as the game reads it.
    return ClockRandom([] { return g_platform->secondsSinceMidnight(); });
}

// Rounds' states with real words, drawn as set-up draws them: the game's
// DrawWord from the Italian dictionary, no two equal words in a round.
const std::vector<GameState>& roundStates(int round)
{
    static std::map<int, std::vector<GameState>> cache;
    std::vector<GameState>& states = cache[round];
    if (!states.empty())
        return states;
    GameState s;
    fillConstantTables(s);
    s.DictionaryIndex = 1;
    if (!apridiz(s, *g_platform, g_folder))
        std::abort();
    ClockRandom random = gameRandom();
    const int k = roundTableIndex(round);
    s.GridCols = s.RoundCols(k);
    s.GridRows = s.RoundRows(k);
    s.LastWordIndex = s.RoundWords(k);
    for (int set = 0; set < kWordSets; ++set) {
        for (int i = 0; i <= s.LastWordIndex; ++i) {
            std::set<std::string> earlier;
            for (int j = 0; j < i; ++j)
                earlier.insert(s.WordList(j));
            do {
                s.WordsDrawn = static_cast<i16>(i);
                if (DrawWord(s, *g_platform, random, g_folder, wordLengthForSlot(i)) != WordDraw::Stored)
                    std::abort();
            } while (earlier.count(s.WordList(i)) != 0);
        }
        states.push_back(s);
    }
    return states;
}

void label(benchmark::State& bench, const GameState& s)
{
    bench.SetLabel(std::to_string(s.GridCols) + "x" + std::to_string(s.GridRows) + ", "
                   + std::to_string(s.LastWordIndex + 1) + " words");
}

// ---------------------------------------------------------------- baselines

void Baseline_RandomFill(benchmark::State& bench)
{
    std::vector<GameState> states = roundStates(static_cast<int>(bench.range(0)));
    GameState& s = states[0];
    std::mt19937 gen(42);
    for (auto _ : bench) {
        for (int r = 1; r <= s.GridRows; ++r)
            for (int c = 1; c <= s.GridCols; ++c)
                s.CellLetter(c, r) = kFillerAlphabet[gen() % 21];
        benchmark::DoNotOptimize(s.CellLetter(1, 1));
    }
    label(bench, s);
}

void Baseline_SystemClock(benchmark::State& bench)
{
    for (auto _ : bench)
        benchmark::DoNotOptimize(std::chrono::system_clock::now());
}

void Clock_SecondsSinceMidnight(benchmark::State& bench)
{
    for (auto _ : bench)
        benchmark::DoNotOptimize(g_platform->secondsSinceMidnight());
}

// ---------------------------------------------------------------- puzzle

void noLetters(GameState&, ClockRandom&) {}

bool referencePlaceWords(GameState& s, ClockRandom& random)
{
    return reference::PlaceWords(s, random);
}

template <bool (*Place)(GameState&, ClockRandom&), void (*Letters)(GameState&, ClockRandom&)>
void makePuzzles(benchmark::State& bench)
{
    std::vector<GameState> states = roundStates(static_cast<int>(bench.range(0)));
    ClockRandom random = gameRandom();
    std::size_t n = 0;
    for (auto _ : bench) {
        GameState& s = states[n++ % states.size()];
        benchmark::DoNotOptimize(Place(s, random));
        Letters(s, random);
        benchmark::DoNotOptimize(s.CellLetter(1, 1));
    }
    label(bench, states[0]);
}

void Puzzle_PlaceWords(benchmark::State& bench)
{
    makePuzzles<PlaceWords, noLetters>(bench);
}

void Puzzle_PlaceAndLetters(benchmark::State& bench)
{
    makePuzzles<PlaceWords, fillGridLetters>(bench);
}

void Reference_PlaceWords(benchmark::State& bench)
{
    makePuzzles<referencePlaceWords, noLetters>(bench);
}

void Reference_PlaceAndLetters(benchmark::State& bench)
{
    makePuzzles<referencePlaceWords, reference::FillLetters>(bench);
}

// ---------------------------------------------------------------- drawing

constexpr int kClientWidth = 1920;
constexpr int kClientHeight = 1080;

void Draw_SetUpOffscreen(benchmark::State& bench)
{
    std::vector<GameState> states = roundStates(static_cast<int>(bench.range(0)));
    ClockRandom random = gameRandom();
    ImageSurface surface;
    surface.resize(kClientWidth, kClientHeight);
    std::size_t n = 0;
    for (auto _ : bench) {
        GameState& s = states[n++ % states.size()];
        ComputeGridLayout(s, surface, {kClientWidth, kClientHeight, 111, 49});
        PlaceWords(s, random);
        FillGrid(s, surface, random, "Brivo");
        benchmark::DoNotOptimize(surface.image().constBits());
    }
    label(bench, states[0]);
}

void Baseline_BareFrame(benchmark::State& bench)
{
    QWidget bare;
    bare.resize(kClientWidth, kClientHeight);
    bare.show();
    QApplication::processEvents();
    for (auto _ : bench) {
        bare.update();
        QApplication::processEvents();
    }
}

// The main window at 1920 x 1080, loaded from a copy of the shipped files.
struct Window {
    Window()
    {
        form = std::make_unique<Form1>(*g_platform, g_folder);
        g_platform->setMainWindow(form.get());
        form->show();
        form->resize(kClientWidth, kClientHeight + (form->height() - form->clientArea()->height()));
        QApplication::processEvents();
        if (!form->Form_Load())
            std::abort();
        QApplication::processEvents();
    }
    ~Window() { g_platform->setMainWindow(nullptr); }

    void newRound(int round)
    {
        GameState& s = form->state();
        s.RoundStatus = kRoundWon;
        s.Round = static_cast<i16>(round - 1);
        form->dispatch([this] { form->MenuNuovo_Click(); });
        form->findChild<QTimer*>("Timer1")->stop();
    }

    QPoint centre(Cell c) const
    {
        const GameState& s = form->state();
        return {s.MarginX + (c.col - 1) * s.CellSize + s.CellSize / 2, s.MarginY + (c.row - 1) * s.CellSize + s.CellSize / 2};
    }

    std::unique_ptr<Form1> form;
};

void Screen_RoundSetUp(benchmark::State& bench)
{
    Window w;
    const int round = static_cast<int>(bench.range(0));
    for (auto _ : bench) {
        w.newRound(round);
        QApplication::processEvents();  // the grid painted
    }
    label(bench, w.form->state());
}

void Screen_ClickLetter(benchmark::State& bench)
{
    Window w;
    w.newRound(static_cast<int>(bench.range(0)));
    QApplication::processEvents();
    const QPoint at = w.centre(letterCell(w.form->state(), 0, 1));
    for (auto _ : bench) {
        QTest::mouseClick(w.form->clientArea(), Qt::LeftButton, {}, at);
        QApplication::processEvents();  // the cell painted
    }
    label(bench, w.form->state());
}

void Screen_ClickCompletes(benchmark::State& bench)
{
    Window w;
    const int round = static_cast<int>(bench.range(0));
    for (auto _ : bench) {
        bench.PauseTiming();
        // A fresh round with every letter of word 0 but the last clicked.
        w.newRound(round);
        GameState& s = w.form->state();
        const int length = static_cast<int>(s.WordList(0).size());
        for (int k = 1; k < length; ++k)
            QTest::mouseClick(w.form->clientArea(), Qt::LeftButton, {}, w.centre(letterCell(s, 0, k)));
        QApplication::processEvents();
        const QPoint at = w.centre(letterCell(s, 0, length));
        bench.ResumeTiming();
        QTest::mouseClick(w.form->clientArea(), Qt::LeftButton, {}, at);
        QApplication::processEvents();  // the word's cells painted
    }
    label(bench, w.form->state());
}

void copyDataFiles()
{
    g_folder = std::filesystem::temp_directory_path() / ("vortigo-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(g_folder);
    for (const char* name : {"SLESSICO.1", "SLESSICO.2", "SLESSICO.3", "vortigo.gif"})
        std::filesystem::copy_file(std::filesystem::path(VORTIGO_DATA_DIR) / name, g_folder / name,
                                   std::filesystem::copy_options::overwrite_existing);
}

}  // namespace

BENCHMARK(Baseline_SystemClock);
BENCHMARK(Clock_SecondsSinceMidnight);
BENCHMARK(Baseline_RandomFill)->Arg(1)->Arg(5)->Arg(10);
BENCHMARK(Puzzle_PlaceWords)->Arg(1)->Arg(5)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(Puzzle_PlaceAndLetters)->Arg(1)->Arg(5)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(Reference_PlaceWords)->Arg(1)->Arg(5)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(Reference_PlaceAndLetters)->Arg(1)->Arg(5)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(Baseline_BareFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(Draw_SetUpOffscreen)->Arg(1)->Arg(5)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(Screen_RoundSetUp)->Arg(1)->Arg(5)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(Screen_ClickLetter)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(Screen_ClickCompletes)->Arg(10)->Iterations(40)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    // --dpr=N: draw at that device-pixel ratio (the whole application is scaled).
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--dpr=", 6) == 0) {
            g_dpr = std::atoi(argv[i] + 6);
            qputenv("QT_SCALE_FACTOR", QByteArray::number(g_dpr));
            for (int j = i; j + 1 < argc; ++j)
                argv[j] = argv[j + 1];
            --argc;
            --i;
        }
    // No display needed: the windows are drawn off screen, as on a real one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerGameFonts();
    copyDataFiles();
    BenchPlatform platform(g_folder);
    g_platform = &platform;
    benchmark::AddCustomContext("device_pixel_ratio", std::to_string(g_dpr));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_platform = nullptr;
    std::error_code ec;
    std::filesystem::remove_all(g_folder, ec);
    return 0;
}
