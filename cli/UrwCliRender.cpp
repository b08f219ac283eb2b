// The "render" command of ramvel-cli.
#include "cli/UrwCliRender.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <algorithm>
#include <exception>
#include <iterator>
#include <memory>
#include <optional>

#include "cli/UrwCliBoard.h"
#include "view/UrwBrdEditor.h"
#include "view/UrwBrdImage.h"
#include "view/UrwDrawKit.h"

namespace ramvel {

namespace {

constexpr int32_t kMaxRenderSide = kMaxImageSide;

struct TRenderOpts {
  std::string Board, Out;
  int32_t Time = 0;
  std::optional<int32_t> Scale;
  std::optional<TPoint> At;
  int32_t W = 800, H = 600;
  bool Labels = false;
};

// "8:05" and "8:05:30" as well as the program's own "805" and "805.30".
bool ParseClock(std::string s, int32_t& t) {
  const size_t c1 = s.find(':');
  if (c1 != std::string::npos) {
    const size_t c2 = s.find(':', c1 + 1);
    const std::string mm =
        s.substr(c1 + 1, c2 == std::string::npos ? std::string::npos : c2 - c1 - 1);
    if (mm.size() != 2) return false;
    std::string text = s.substr(0, c1) + mm;
    if (c2 != std::string::npos) text += "." + s.substr(c2 + 1);
    s = text;
  }
  return TextToTime(s, t);
}

bool ParsePair(const std::string& s, char sep, int32_t& a, int32_t& b) {
  const size_t at = s.find(sep);
  return at != std::string::npos && ParseInt(s.substr(0, at), a) && ParseInt(s.substr(at + 1), b);
}

// "8:05" for a time in seconds from 04:00.
std::string ClockText(int32_t t) {
  const int32_t m = (t + kDayOffset) / 60;
  const std::string mm = IntText(m % 60);
  return IntText(m / 60) + ":" + (mm.size() < 2 ? "0" + mm : mm);
}

std::string ZoomList() {
  std::string out;
  for (const int32_t z : kZooms) out += (out.empty() ? "" : " ") + IntText(z);
  return out;
}

bool ParseTime(const std::string& v, TRenderOpts& o, std::ostream& err) {
  if (ParseClock(v, o.Time)) return true;
  err << "render: --time " << v << " is not a time between 4:00 and 27:00\n";
  return false;
}

bool ParseScale(const std::string& v, TRenderOpts& o, std::ostream& err) {
  int32_t z = 0;
  if (ParseInt(v, z) && std::find(std::begin(kZooms), std::end(kZooms), z) != std::end(kZooms)) {
    o.Scale = z;
    return true;
  }
  err << "render: --scale " << v << " is not one of " << ZoomList() << "\n";
  return false;
}

bool ParseAt(const std::string& v, TRenderOpts& o, std::ostream& err) {
  TPoint p;
  if (ParsePair(v, ',', p.x, p.y)) {
    o.At = p;
    return true;
  }
  err << "render: --at " << v << " is not X,Y in metres\n";
  return false;
}

bool ParseSize(const std::string& v, TRenderOpts& o, std::ostream& err) {
  if (ParsePair(v, 'x', o.W, o.H) && o.W > 0 && o.H > 0 && o.W <= kMaxRenderSide &&
      o.H <= kMaxRenderSide) {
    return true;
  }
  err << "render: --size " << v << " is not WxH with sides from 1 to " << kMaxRenderSide
      << " pixels\n";
  return false;
}

using TOptParser = bool (*)(const std::string&, TRenderOpts&, std::ostream&);

struct TOptSpec {
  const char* Name;
  TOptParser Parse;
};

constexpr TOptSpec kValueOpts[] = {
    {"--time", ParseTime}, {"--scale", ParseScale}, {"--at", ParseAt}, {"--size", ParseSize}};

// The option at args[i]; i moves past its value.
bool ParseOption(const std::vector<std::string>& args, size_t& i, TRenderOpts& o,
                 std::ostream& err) {
  if (args[i] == "--labels") {
    o.Labels = true;
    return true;
  }
  for (const TOptSpec& opt : kValueOpts) {
    if (args[i] != opt.Name) continue;
    if (i + 1 >= args.size()) {
      err << "render: " << args[i] << " needs a value\n";
      return false;
    }
    ++i;
    return opt.Parse(args[i], o, err);
  }
  err << "render: unknown option " << args[i] << "\n";
  return false;
}

bool ParseArgs(const std::vector<std::string>& args, TRenderOpts& o, std::ostream& err) {
  std::vector<std::string> words;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i].size() > 2 && args[i].rfind("--", 0) == 0) {
      if (!ParseOption(args, i, o, err)) return false;
    } else {
      words.push_back(args[i]);
    }
  }
  if (words.size() != 2) {
    err << "usage: ramvel-cli " << kRenderUsage << "\n";
    return false;
  }
  o.Board = words[0];
  o.Out = words[1];
  return true;
}

// Messages of the core go to the command's error stream; questions are answered No.
class TStreamHost : public TUiHost {
 public:
  explicit TStreamHost(std::ostream& err) : err_(err) {}
  void ShowMsgBox(const std::string& caption, const std::string& text) override {
    err_ << caption << ": " << text << "\n";
  }
  bool AskYesNo(const std::string& caption, const std::string& text) override {
    err_ << caption << ": " << text << " (no)\n";
    return false;
  }
  void ShowPlainMsg(const std::string& text) override { err_ << text << "\n"; }

 private:
  std::ostream& err_;
};

// Status texts of the drawing (trains that cannot be located or drawn), each noted once.
class TStatusLog : public TBrdEditSink {
 public:
  std::vector<std::string> Texts;
  void SetStatusText(int panel, const std::string& text) override {
    if (panel != 1 || text.empty()) return;
    if (std::find(Texts.begin(), Texts.end(), text) == Texts.end()) Texts.push_back(text);
  }
};

}  // namespace

std::unique_ptr<QGuiApplication> EnsureGuiApp() {
  if (QCoreApplication::instance() != nullptr) return nullptr;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "ramvel-cli";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

namespace {

int Render(const TRenderOpts& o, std::ostream& out, std::ostream& err) {
  TStatusLog log;
  TBrdEdit ed(&log);
  ed.InitView(o.H, o.W);
  std::string root, name;
  cli::SplitBoardPath(o.Board, root, name);
  if (const TStatus st = ed.LoadBoard(root, name); !st) {
    err << "render: " << st.Msg() << "\n";
    return 2;
  }
  if (!cli::UseDiaArg(ed.Brd, err)) return 2;
  TBrdImageView v{o.At ? o.At->x : ed.Brd.SCR_XLEFT, o.At ? o.At->y : ed.Brd.SCR_YTOP,
                  o.Scale.value_or(ed.Brd.SCR_MPERP), o.W, o.H};
  ed.View.DesignMode = false;
  ed.View.CurTime = o.Time;
  ed.View.ShowTrNo = o.Labels ? 1 : 0;
  const QImage img = DrawBrdImage(ed, v);
  for (const std::string& t : log.Texts) err << "render: " << t << "\n";
  if (const TStatus st = WritePngFile(img, o.Out); !st) {
    err << "render: " << o.Out << ": the picture cannot be written (" << st.Msg() << ")\n";
    return 1;
  }
  out << o.Out << ": " << o.W << "x" << o.H << " px, " << ClockText(o.Time) << ", " << v.MPerP
      << " m per pixel from " << v.XLeft << "," << v.YTop << "\n";
  return 0;
}

}  // namespace

int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TRenderOpts o;
  if (!ParseArgs(args, o, err)) return 2;
  TStreamHost host(err);
  TUiHostScope scope(host);
  const std::unique_ptr<QGuiApplication> app = EnsureGuiApp();
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
    err << "render: drawing needs a graphical application object\n";
    return 1;
  }
  try {
    return Render(o, out, err);
  } catch (const std::exception& e) {
    err << "render: " << e.what() << "\n";
    return 1;
  }
}

}  // namespace ramvel
