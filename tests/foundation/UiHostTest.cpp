// The replaceable dialog host: messages reach the installed host, answers come from it.
#include <gtest/gtest.h>

#include "foundation/UrwUiHost.h"

namespace ramvel {
namespace {

TEST(UiHost, ScriptedHostRecordsAndAnswers) {
  TScriptedHost host;
  host.YesNoAnswers = {true};
  host.InputAnswers = {std::string("東京")};
  {
    TUiHostScope scope(host);
    ShowMsgBox(kCapError, "エラーが残っている駅は設置できません");
    EXPECT_TRUE(AskYesNo(kCapConfirm, "保存しますか？"));
    EXPECT_FALSE(AskYesNo(kCapConfirm, "もう一度？"));  // queue empty: No
    ShowLookupError("GetPathToNextSta-STA-1", "5001");
    EXPECT_EQ(UiHost().InputBox("駅名", "名前", "").value_or(""), "東京");
  }
  ASSERT_EQ(host.Events.size(), 5u);
  EXPECT_EQ(host.Events[0].Caption, "エラー");
  EXPECT_EQ(host.Events[0].Kind, "msg");
  EXPECT_EQ(host.Events[2].Kind, "ask");
  EXPECT_EQ(host.Events[3].Kind, "plain");
  EXPECT_EQ(host.Events[3].Text, "Error(GetPathToNextSta-STA-1:5001)");
  EXPECT_EQ(host.Unanswered, 1);
  // Out of scope, messages no longer reach the scripted host.
  ShowPlainMsg("to stderr");
  EXPECT_EQ(host.Events.size(), 5u);
}

// The selection dialog: an empty list is refused with a notice before any dialog; the scripted
// host answers by the chosen text, and a text not offered cancels.
TEST(UiHost, ChoosingAnItem) {
  TScriptedHost host;
  TUiHostScope scope(host);
  EXPECT_FALSE(ChooseItem({}, "駅を選択して下さい").has_value());
  host.SelectAnswers = {"B", "Z", std::nullopt};
  EXPECT_EQ(ChooseItem({"A", "B"}, "駅を選択して下さい").value_or(""), "B");
  EXPECT_FALSE(ChooseItem({"A", "B"}, "路線を選択して下さい").has_value());
  EXPECT_FALSE(ChooseItem({"A"}, "x").has_value());
  EXPECT_EQ(host.Texts(),
            (std::vector<std::string>{"選択できるものがありません", "A|B", "A|B", "A"}));
  EXPECT_EQ(host.Events[0].Caption, "お知らせ");
  EXPECT_EQ(host.Events[2].Caption, "路線を選択して下さい");
  EXPECT_EQ(host.Events[2].Kind, "select");
}

}  // namespace
}  // namespace ramvel
