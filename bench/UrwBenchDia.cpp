// The diagram editor on the largest line of the shipped sample board: the rebuild after an edit
// (the model of the line, all platform, turnout and block occupancy, and the display orders), and
// undo and redo of one step (the train set's record written back and all of that rebuilt).
#include <benchmark/benchmark.h>

#include <string>

#include "engine/UrwBrdData.h"
#include "foundation/UrwUiHost.h"
#include "timetable/UrwDiaEditor.h"

namespace ramvel {
namespace {

// Steps are made in code here; no dialog is ever opened.
class TNoDialogs : public TDiaDialogs {
 public:
  bool OneStep(TDiaOneStep&) override { return false; }
  std::optional<int32_t> SelectItem(const std::vector<std::string>&, const std::string&,
                                    bool) override {
    return std::nullopt;
  }
  std::optional<TNewCarChoice> NewCar(const std::vector<std::string>&,
                                      const std::vector<std::string>&, TBrdData&) override {
    return std::nullopt;
  }
  void ShowSpec(const TCarObj&, const std::string&, const std::string&) override {}
  std::optional<TTrainChoice> EditTrain(const TTrainNoList&, const TCarObj&, const std::string&,
                                        const std::string&, bool, const std::string&,
                                        const std::string&) override {
    return std::nullopt;
  }
};

// The sample board with 本線 as its current line; false (the benchmark skipped) when it cannot be
// read.
bool LoadSampleMainLine(TBrdData& brd, benchmark::State& state) {
  const std::string boards = std::string(RAMVEL_SOURCE_DIR) + "/data/boards";
  if (!brd.LoadBrd(boards, "Sample").ok() || !brd.SetLine("本線").ok() ||
      !brd.LoadLine(boards + "/Sample/").ok()) {
    state.SkipWithError("the sample board cannot be read");
    return false;
  }
  return true;
}

// One edit (a train's number changed back and forth in its header step) and the rebuild that
// follows it, as the editor does after every accepted change.
void BM_DiaRebuildSampleMainLine(benchmark::State& state) {
  TScriptedHost host;
  TUiHostScope scope(host);
  TBrdData brd;
  if (!LoadSampleMainLine(brd, state)) return;
  TNoDialogs dialogs;
  TDiaEditor ed(brd, dialogs);
  ed.OpenDia();
  const TOrderEntry first = ed.Dia.KudariOrder.front();
  TCarObj* car = brd.FindTrainCar(first.TrNo, "");
  const TTrainRange r = car->FindTrain(first.TrNo);
  for (auto _ : state) {
    TTmTbl head = car->TmTbl.Get(r.First);
    head.Txt = head.Txt + "";  // the same text: the timetable stays as it was
    car->TmTbl.Delete(r.First);
    car->TmTbl.Add(head);
    ed.ResetView(true);
    benchmark::DoNotOptimize(ed.Dia.TrCount);
  }
  state.counters["trains"] = ed.Dia.TrCount;
}
BENCHMARK(BM_DiaRebuildSampleMainLine)->Unit(benchmark::kMillisecond);

// Undo (arg 0) or redo (arg 1) of a step that renumbers the first down train, as 列車番号の変更
// does; the other half of each pair runs outside the timing.
void BM_DiaUndoRedoSampleMainLine(benchmark::State& state) {
  TScriptedHost host;
  TUiHostScope scope(host);
  TBrdData brd;
  if (!LoadSampleMainLine(brd, state)) return;
  TNoDialogs dialogs;
  TDiaEditor ed(brd, dialogs);
  ed.OpenDia();
  const std::string no = ed.Dia.KudariOrder.front().TrNo;
  ed.Recorded("列車番号の変更", [&] {
    TCarObj* car = brd.FindTrainCar(no, "");
    const TTrainRange r = car->FindTrain(no);
    TTmTbl head = car->TmTbl.Get(r.First);
    head.Txt = "B" + head.Txt;
    car->TmTbl.Delete(r.First);
    car->TmTbl.Add(head);
    ed.ResetView(true);
  });
  const bool redo = state.range(0) == 1;
  for (auto _ : state) {
    if (redo) {
      state.PauseTiming();
      ed.Undo();
      state.ResumeTiming();
      ed.Redo();
    } else {
      ed.Undo();
      state.PauseTiming();
      ed.Redo();
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(ed.Dia.TrCount);
  }
  state.counters["trains"] = ed.Dia.TrCount;
}
BENCHMARK(BM_DiaUndoRedoSampleMainLine)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ramvel
