// Benchmarks of the engine's hot paths on synthetic boards.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "UrwBenchBoard.h"
#include "timetable/UrwDiaTimeGrid.h"

namespace ramvel::bench {
namespace {

namespace fs = std::filesystem;
constexpr int32_t k0800 = 4 * 3600;

// Train set location on every clock tick with the whole board in view.
void BM_CalcCarLocationTick(benchmark::State& state) {
  TBrdData brd;
  // range(1) is the layover between trains: 0 keeps almost every train set running.
  MakeSynthBoard(brd, {100, static_cast<int32_t>(state.range(0)), 1, 20, 0,
                       static_cast<int32_t>(state.range(1))});
  ShowWholeBoard(brd);
  int32_t now = k0800;
  brd.CalcCarLocation(0, now);
  for (auto _ : state) {
    brd.CalcCarLocation(1, ++now);
    if (now > k0800 + 3600) {
      state.PauseTiming();
      now = k0800;
      brd.CalcCarLocation(0, now);
      state.ResumeTiming();
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  int running = 0;
  for (const auto& [key, car] : brd.Cars) running += car->LocState == kLocRun;
  state.counters["running"] = running;
}
BENCHMARK(BM_CalcCarLocationTick)
    ->Args({100, 300})
    ->Args({1000, 300})
    ->Args({5000, 300})
    ->Args({1000, 0})
    ->Args({5000, 0})
    ->Unit(benchmark::kMicrosecond);

// Locating every train set afresh (scrolling, zooming, setting the time).
void BM_CalcCarLocationFresh(benchmark::State& state) {
  TBrdData brd;
  MakeSynthBoard(brd, {100, static_cast<int32_t>(state.range(0)), 1});
  ShowWholeBoard(brd);
  int32_t now = k0800;
  for (auto _ : state) {
    brd.CalcCarLocation(0, now);
    now = now >= k0800 + 3600 ? k0800 : now + 7;
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CalcCarLocationFresh)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

// A board of 200 stations, about 400 rails and 1000 train sets, saved once into a folder.
// Reading and saving use both cores: their benchmarks report the wall time and the CPU time of
// the whole process.
class TBoardFolder {
 public:
  TBoardFolder() {
    base_ = (fs::temp_directory_path() / ("ramvel-bench-" + std::to_string(::getpid()))).string();
    fs::create_directories(base_ + "/B");
    TBrdData brd;
    MakeSynthBoard(brd, {200, 1000, 2});
    if (!brd.SaveBrd(base_ + "/B", false).ok()) std::abort();
  }
  ~TBoardFolder() {
    std::error_code ec;
    fs::remove_all(base_, ec);
  }
  const std::string& Base() const { return base_; }

 private:
  std::string base_;
};

TBoardFolder& Folder() {
  static TBoardFolder folder;
  return folder;
}

void BM_LoadBrd(benchmark::State& state) {
  Folder();  // made before timing starts
  for (auto _ : state) {
    TBrdData brd;
    if (!brd.LoadBrd(Folder().Base(), "B").ok()) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(brd.Cars.size());
  }
}
BENCHMARK(BM_LoadBrd)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// The same files read as plain bytes: what loading is measured against.
void BM_PlainRead(benchmark::State& state) {
  Folder();
  for (auto _ : state) {
    size_t bytes = 0;
    for (const auto& e : fs::recursive_directory_iterator(Folder().Base() + "/B")) {
      if (!e.is_regular_file()) continue;
      std::ifstream in(e.path(), std::ios::binary);
      std::ostringstream buf;
      buf << in.rdbuf();
      bytes += buf.str().size();
    }
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// The same files read as record files (decoded and cut into lines) without interpreting them.
void BM_PlainRecRead(benchmark::State& state) {
  Folder();
  for (auto _ : state) {
    size_t lines = 0;
    for (const auto& e : fs::recursive_directory_iterator(Folder().Base() + "/B")) {
      if (!e.is_regular_file()) continue;
      TextRec rec;
      if (LoadRec(e.path().string(), rec).ok()) lines += rec.Lines.size();
    }
    benchmark::DoNotOptimize(lines);
  }
}
BENCHMARK(BM_PlainRecRead)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_SaveBrd(benchmark::State& state) {
  TBrdData brd;
  if (!brd.LoadBrd(Folder().Base(), "B").ok()) state.SkipWithError("load failed");
  const std::string out = Folder().Base() + "/S";
  fs::create_directories(out);
  for (auto _ : state) {
    if (!brd.SaveBrd(out, false).ok()) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_SaveBrd)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// The same board with every train set changed between saves, so that about 1000 of its 1600
// files are written, flushed and switched each time.
void BM_SaveBrdChanged(benchmark::State& state) {
  TBrdData brd;
  if (!brd.LoadBrd(Folder().Base(), "B").ok()) state.SkipWithError("load failed");
  const std::string out = Folder().Base() + "/S2";
  fs::create_directories(out);
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ++round;
    for (auto& [key, car] : brd.Cars) car->Usage = "round " + std::to_string(round);
    state.ResumeTiming();
    if (!brd.SaveBrd(out, false).ok()) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_SaveBrdChanged)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// The board's files held in memory, by their paths inside the board folder.
std::vector<std::pair<std::string, std::string>> BoardBytes() {
  std::vector<std::pair<std::string, std::string>> files;
  const fs::path root = Folder().Base() + "/B";
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    if (!e.is_regular_file()) continue;
    std::string bytes;
    if (!ReadFileBytes(e.path().string(), bytes).ok()) std::abort();
    files.emplace_back(fs::relative(e.path(), root).string(), std::move(bytes));
  }
  return files;
}

void WritePlain(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) std::abort();
}

// The board's bytes written plainly, file by file, into a fresh folder: what saving is measured
// against. range(0) = 1 adds one flush of the file system at the end, as a save does once.
void BM_PlainWrite(benchmark::State& state) {
  const auto files = BoardBytes();
  const std::string out = Folder().Base() + "/P";
  size_t bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(out);
    fs::create_directories(out + "/station");
    fs::create_directories(out + "/rail");
    fs::create_directories(out + "/car");
    state.ResumeTiming();
    bytes = 0;
    for (const auto& [rel, data] : files) {
      WritePlain(out + "/" + rel, data);
      bytes += data.size();
    }
    if (state.range(0) == 1) {
      const int fd = ::open(out.c_str(), O_RDONLY | O_DIRECTORY);
      ::syncfs(fd);
      ::close(fd);
    }
  }
  state.counters["files"] = static_cast<double>(files.size());
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_PlainWrite)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The whole board saved into an empty folder, so that every file is encoded and written.
void BM_SaveBrdFresh(benchmark::State& state) {
  TBrdData brd;
  if (!brd.LoadBrd(Folder().Base(), "B").ok()) state.SkipWithError("load failed");
  const std::string out = Folder().Base() + "/F";
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(out);
    fs::create_directories(out);
    state.ResumeTiming();
    if (!brd.SaveBrd(out, false).ok()) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_SaveBrdFresh)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Peak memory of a process that opens the board, against the bytes of the board on disk. The
// board is opened in a fresh process (this program run again with --peak-load), so that what
// the benchmarks did before does not count; the same process without the load gives the base.
double PeakKb(bool load) {
  const std::string cmd = "/proc/" + std::to_string(::getpid()) + "/exe --peak-load " +
                          (load ? Folder().Base() : std::string("-"));
  FILE* pipe = ::popen(cmd.c_str(), "r");
  if (pipe == nullptr) return -1;
  double kb = -1;
  if (std::fscanf(pipe, "%lf", &kb) != 1) kb = -1;
  ::pclose(pipe);
  return kb;
}

void BM_PeakMemory(benchmark::State& state) {
  double peak = 0, base = 0;
  for (auto _ : state) {
    peak = PeakKb(true);
    base = PeakKb(false);
  }
  if (peak < 0 || base < 0) return state.SkipWithError("the measuring process failed");
  uintmax_t disk = 0;
  for (const auto& e : fs::recursive_directory_iterator(Folder().Base() + "/B")) {
    if (e.is_regular_file()) disk += e.file_size();
  }
  state.counters["peak_MB"] = peak / 1024;
  state.counters["base_MB"] = base / 1024;
  state.counters["disk_MB"] = static_cast<double>(disk) / 1048576;
  state.counters["board_per_disk"] = (peak - base) * 1024 / static_cast<double>(disk);
}
BENCHMARK(BM_PeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_GetPathToNextSta(benchmark::State& state) {
  TBrdData brd;
  MakeSynthBoard(brd, {20, 0, static_cast<int32_t>(state.range(0))});
  std::vector<std::string> routes;
  for (auto _ : state) {
    routes.clear();
    brd.GetPathToNextSta(1001, 1, 1, 2001, -1, routes);
    benchmark::DoNotOptimize(routes.data());
  }
}
BENCHMARK(BM_GetPathToNextSta)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);

void BM_ListUpNextStaCanGo(benchmark::State& state) {
  TBrdData brd;
  MakeSynthBoard(brd, {20, 0, 1});
  brd.MakeLineBlk();
  std::vector<std::string> routes;
  for (auto _ : state) {
    routes.clear();
    brd.ListUpNextStaCanGo(1001, 1, 1, 2001, -1, routes);
    benchmark::DoNotOptimize(routes.data());
  }
}
BENCHMARK(BM_ListUpNextStaCanGo)->Unit(benchmark::kMicrosecond);

// Rebuilding all occupancy of a 40-station line, as the diagram editor does after every change.
void BM_InitObjTmTbl(benchmark::State& state) {
  TBrdData brd;
  const int32_t trains = static_cast<int32_t>(state.range(0));
  MakeSynthBoard(brd, {40, trains / 4, 1, 40, 4});
  brd.MakeLineBlk();
  TDiaObj dia;
  dia.Build(brd.LineStas, brd.TrainNos);
  std::string msg;
  for (auto _ : state) {
    brd.InitObjTmTbl(dia.TrNos(), dia.CarIds, msg);
    benchmark::DoNotOptimize(msg.data());
  }
  state.counters["trains"] = dia.TrCount;
}
BENCHMARK(BM_InitObjTmTbl)->Arg(100)->Arg(600)->Arg(1600)->Unit(benchmark::kMillisecond);

// The peak resident memory of this process in kB (VmHWM), or -1.
long PeakRssKb() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

// --peak-load BASE: opens BASE/B (nothing for "-") and prints the peak memory in kB.
int PeakLoad(const std::string& base) {
  TBrdData brd;
  if (base != "-" && !brd.LoadBrd(base, "B").ok()) return 1;
  std::printf("%ld\n", PeakRssKb());
  return 0;
}

}  // namespace
}  // namespace ramvel::bench

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--peak-load") return ramvel::bench::PeakLoad(argv[2]);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
