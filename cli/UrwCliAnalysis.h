// The "capacity" and "delays" commands of ramvel-cli: how full each section of a line is by the
// compression method, and how delays spread through the day.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace ramvel::cli {

inline constexpr const char* kCapacityHelp =
    "ramvel-cli capacity BOARD LINE [--from T] [--to T] [--traffic suburban|mixed] [--csv]\n"
    "  Capacity consumption of LINE by the compression method of UIC leaflet 406: for every\n"
    "  section between neighbouring stations and every station's tracks and turnouts, the\n"
    "  trains entering it from T to T (default the whole operating day) are pushed as close\n"
    "  behind each other as their booked blocking times allow. One row per place, the most\n"
    "  used first: from, to, trains, consumption %, least and mean headway between trains\n"
    "  running the same way and least buffer time (seconds), and \"over\" when the consumption\n"
    "  exceeds the UIC reference (suburban lines 85 % in a window of up to one hour, else\n"
    "  70 %; mixed lines 75 % and 60 %).\n"
    "  Example: ramvel-cli capacity data/boards/Sample 本線 --from 700 --to 800\n";

inline constexpr const char* kDelaysHelp =
    "ramvel-cli delays BOARD LINE [--share P] [--mean MIN] [--delay TRAIN:MIN] [--at STATION]\n"
    "                  [--runs N] [--seed S] [--csv]\n"
    "  A delay run of LINE: P per cent of the trains (default 20) get a random primary delay,\n"
    "  exponentially distributed with mean MIN minutes (default 3), at their first departure\n"
    "  or at STATION; --delay (repeatable) gives one train a fixed delay instead. Trains keep\n"
    "  their order, wait for the blocks, tracks and turnouts the train before them holds, never\n"
    "  leave early and stand at least 30 s at a stop. Prints punctuality (arrivals at most 1, 3\n"
    "  and 5 minutes late) overall and per station, primary and knock-on delay minutes, the\n"
    "  trains that spread the most delay and every delayed call. --runs N averages N runs\n"
    "  with seeds S, S+1, ... (default seed 1) and gives the spread.\n"
    "  Example: ramvel-cli delays data/boards/Sample 本線 --delay 1023:5\n";

int RunCapacity(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunDelays(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ramvel::cli
