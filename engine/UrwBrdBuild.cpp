// The board builder: the terrain written as a 24-bit bitmap, rail runs laid between station
// sides, and lines made through the line editor, each step returning why it failed.
#include "engine/UrwBrdBuild.h"

#include <fstream>

#include "foundation/UrwCmnDef.h"

namespace ramvel {

namespace {

constexpr int32_t kDot = 108;  // metres per terrain dot

void PutU16(std::string& b, uint32_t v) {
  b += static_cast<char>(v & 0xFF);
  b += static_cast<char>((v >> 8) & 0xFF);
}

void PutU32(std::string& b, uint32_t v) {
  PutU16(b, v & 0xFFFF);
  PutU16(b, v >> 16);
}

// The file header and BITMAPINFOHEADER of an uncompressed 24-bit picture stored bottom row first.
std::string BmpHeader(int32_t w, int32_t h, int32_t dataBytes) {
  std::string b = "BM";
  for (const uint32_t v : {54u + static_cast<uint32_t>(dataBytes), 0u, 54u, 40u,
                           static_cast<uint32_t>(w), static_cast<uint32_t>(h)}) {
    PutU32(b, v);
  }
  PutU16(b, 1);   // planes
  PutU16(b, 24);  // bits per pixel
  for (const uint32_t v : {0u, static_cast<uint32_t>(dataBytes), 2835u, 2835u, 0u, 0u}) {
    PutU32(b, v);  // no compression, data size, 72 dpi both ways, no palette
  }
  return b;
}

// The grid point (dots) of a station's end.
TPoint EndDot(const TBaseObj& obj, int32_t side) {
  return {obj.EndPos[side].x / kDot, obj.EndPos[side].y / kDot};
}

}  // namespace

TStatus WriteBmp24(const TLandGrid& land, const std::string& path) {
  const int32_t rowBytes = (land.W * 3 + 3) / 4 * 4;
  std::string b = BmpHeader(land.W, land.H, rowBytes * land.H);
  for (int32_t y = land.H - 1; y >= 0; --y) {
    for (int32_t x = 0; x < land.W; ++x) {
      const uint32_t rgb = land.Rgb[static_cast<size_t>(y) * land.W + x];
      b += static_cast<char>(rgb & 0xFF);  // blue, green, red
      b += static_cast<char>((rgb >> 8) & 0xFF);
      b += static_cast<char>((rgb >> 16) & 0xFF);
    }
    b.append(static_cast<size_t>(rowBytes - land.W * 3), '\0');
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(b.data(), static_cast<std::streamsize>(b.size()));
  if (!out) return TStatus::Error(path + ": cannot be written");
  return TStatus::Ok();
}

TStaObj* StaByName(TBrdData& brd, const std::string& name) {
  for (auto& [key, sta] : brd.Stas) {
    if (sta->Name == name) return sta.get();
  }
  return nullptr;
}

TStatus LayRailRun(TBrdData& brd, const TRailRun& run) {
  TStaObj* from = StaByName(brd, run.From);
  TStaObj* to = StaByName(brd, run.To);
  if (from == nullptr || to == nullptr) {
    return TStatus::Error(run.From + "-" + run.To + ": no station");
  }
  TPoint at = EndDot(*from, run.FromSide);
  TBaseObj* prev = from;
  for (size_t i = 0; i < run.Steps.size(); ++i) {
    const bool last = i + 1 == run.Steps.size();
    prev = brd.RailReg(at, run.Steps[i], prev, last ? to : nullptr, run.Tracks);
    at = {at.x + run.Steps[i].x, at.y + run.Steps[i].y};
  }
  if (!PtEqual(at, EndDot(*to, run.ToSide))) {
    return TStatus::Error(run.From + "-" + run.To + ": the rails end at " + PtToText(at) +
                          ", not at the station's end " + PtToText(EndDot(*to, run.ToSide)));
  }
  return TStatus::Ok();
}

TStatus BuildLine(TBrdData& brd, const std::string& folder, const TLineDef& def) {
  if (TStatus st = brd.SetLine(def.Name); !st) return st;
  for (size_t i = 0; i < def.Stations.size(); ++i) {
    const TStaObj* sta = StaByName(brd, def.Stations[i]);
    if (sta == nullptr) return TStatus::Error(def.Name + ": no station " + def.Stations[i]);
    if (i == 0) {
      brd.LineStas.push_back(IntText(sta->Id));  // the first station needs no neighbour
    } else if (!brd.AddStaToLine(sta->Id)) {
      return TStatus::Error(def.Name + ": " + def.Stations[i] + " is not a neighbour");
    }
  }
  return brd.SaveLine(folder);
}

}  // namespace ramvel
