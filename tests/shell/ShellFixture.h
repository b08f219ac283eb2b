// Helpers of the window tests: the application object, answering modal dialogs, boards on disk
// and the main window in a fresh program folder with a scripted dialog host.
#pragma once

#include <QApplication>
#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "foundation/UrwUiHost.h"
#include "shell/UrwMain.h"

namespace ramvel::test {

// The one application object of the test program (offscreen unless a platform is set).
QApplication& App();

// Runs act on the next modal dialog as soon as it is shown (the caller then runs the code that
// opens it). Fails the test when no dialog turns up.
void OnModal(std::function<void(QWidget*)> act);

// A terrain of w x h pixels, white (land), with the pixels in sea pure blue.
void WriteLand(const std::string& path, int w, int h, const std::vector<QPoint>& sea = {});

// Seconds from 04:00 of a clock time.
constexpr int32_t At(int h, int m, int s = 0) { return (h - 4) * 3600 + m * 60 + s; }

// Two stations A (1001) and B (2001) with two platforms each, joined by a two-track rail, and
// train set 1 (4 cars, 72 km/h, colour red) stabled at A platform 1 that runs train 101 from A
// at dep to B. The terrain is landW x landH pixels. Saved as base/name.
void MakeBoard(const std::string& base, const std::string& name, int32_t dep = At(6, 0),
               int landW = 60, int landH = 30);

// An empty board folder (no stations, rails or train sets) with a terrain.
void MakeEmptyBoard(const std::string& base, const std::string& name, int landW = 40,
                    int landH = 30);

class ShellTest : public ::testing::Test {
 protected:
  ShellTest();
  ~ShellTest() override;

  // The main window in the program folder, shown, its board area w x h pixels.
  TFrmMain& Main(int w = 800, int h = 600);
  void SetBoardArea(int w, int h);
  std::string Base() const { return base_.Path() + "/"; }
  // The texts of the messages and questions shown so far.
  std::vector<std::string> Shown() const { return host_.Texts(); }

  TTempDir base_;
  TScriptedHost host_;
  TUiHostScope scope_{host_};
  std::unique_ptr<TFrmMain> main_;
};

}  // namespace ramvel::test
