#include "shell/UrwMainPlayDay.h"

#include <QActionGroup>

#include "engine/UrwPlayDay.h"

namespace ramvel {

namespace {

const char* MenuTitle(bool delayed) {
  return delayed ? "運行ダイヤ：遅延(&P)" : "運行ダイヤ(&P)";
}

}  // namespace

QMenu* MakePlayDayMenu(QMenuBar* bar, QAction* before, TBrdData& brd,
                       std::function<void()> relocate) {
  QMenu* menu = new QMenu(QString::fromUtf8(MenuTitle(false)), bar);
  bar->insertMenu(before, menu);
  QActionGroup* group = new QActionGroup(menu);
  QAction* plan = menu->addAction(QStringLiteral("計画ダイヤ(&P)"));
  QAction* late = menu->addAction(QStringLiteral("遅延ダイヤ(&D)"));
  plan->setObjectName("MnuPlayPlan");
  late->setObjectName("MnuPlayDelayed");
  late->setStatusTip(QStringLiteral("ダイヤ編集の遅延シミュレーションで求めた遅延のとおりに運行します"));
  for (QAction* a : {plan, late}) {
    a->setCheckable(true);
    group->addAction(a);
  }
  plan->setChecked(true);
  auto sync = [menu, plan, late, &brd] {
    const bool has = HasPlayDay(brd);
    if (!has) PlayDay().Delayed = false;  // a day forgotten meanwhile plays the plan again
    late->setEnabled(has);
    (PlayDay().Delayed ? late : plan)->setChecked(true);
    menu->setTitle(QString::fromUtf8(MenuTitle(PlayDay().Delayed)));
  };
  QObject::connect(menu, &QMenu::aboutToShow, menu, sync);
  auto choose = [sync, relocate, &brd](bool delayed) {
    if (delayed && !HasPlayDay(brd)) return;
    if (PlayDay().Delayed == delayed) return;
    PlayDay().Delayed = delayed;
    sync();
    relocate();
  };
  QObject::connect(plan, &QAction::triggered, menu, [choose] { choose(false); });
  QObject::connect(late, &QAction::triggered, menu, [choose] { choose(true); });
  sync();
  return menu;
}

}  // namespace ramvel
