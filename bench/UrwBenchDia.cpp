// The diagram editor's rebuild after an edit on the largest line of the shipped sample board:
// the model of the line, all platform, turnout and block occupancy, and the display orders.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/UrwBrdData.h"
#include "foundation/UrwUiHost.h"
#include "timetable/UrwDiaEditor.h"

namespace ramvel {
namespace {

// The editor is only rebuilt here; no dialog is ever opened.
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

// One edit (a train's number changed back and forth in its header step) and the rebuild that
// follows it, as the editor does after every accepted change.
void BM_DiaRebuildSampleMainLine(benchmark::State& state) {
  TScriptedHost host;
  TUiHostScope scope(host);
  TBrdData brd;
  const std::string boards = std::string(RAMVEL_SOURCE_DIR) + "/data/boards";
  if (!brd.LoadBrd(boards, "Sample").ok() || !brd.SetLine("本線").ok() ||
      !brd.LoadLine(boards + "/Sample/").ok()) {
    state.SkipWithError("the sample board cannot be read");
    return;
  }
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

}  // namespace
}  // namespace ramvel
