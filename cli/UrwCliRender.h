// The "render" command of ramvel-cli: a board drawn to a PNG exactly as the board view shows it
// in run mode at a given time.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

class QGuiApplication;

namespace ramvel {

// One-line usage of the command, for the command-line help.
inline constexpr const char* kRenderUsage =
    "render BOARD OUT.png [--time T] [--scale M] [--at X,Y] [--size WxH] [--labels]";

// args are the words after "render": the board folder, the PNG to write and the options
//   --time T    clock time, "800", "0800", "2530.15" or "8:00" (default 4:00, the start of the day)
//   --scale M   metres per pixel, one of 1 2 3 4 6 9 12 18 27 36 54 108 (default: the board's)
//   --at X,Y    board metres at the picture's top-left corner (default: the board's)
//   --size WxH  picture size in pixels (default 800x600)
//   --labels    train numbers beside the trains
// Works without a display: when no application object exists, one is made on the offscreen
// platform. Returns 0 on success, 1 when the picture cannot be written, 2 when the board cannot
// be read or for bad arguments.
int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// args are the words after "save": the board folder and, optionally, "--to" and a folder that is
// new or empty. Reads the board as the program opens it and saves it through the program's own
// save; with --to the folder then holds the whole board (Land.bmp, station/, line/ and what the
// save writes). Returns 0 when saved, 1 when the save fails, 2 when the board cannot be read or
// for bad arguments.
int RunSave(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// A graphical application object, needed for fonts, made on the offscreen platform when none
// exists yet; null when one exists. The caller keeps it alive while it draws.
std::unique_ptr<QGuiApplication> EnsureGuiApp();

}  // namespace ramvel
