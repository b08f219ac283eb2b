// The installed dialog host, the default one that writes to stderr, and the scripted test host.
#include "foundation/UrwUiHost.h"

#include <algorithm>
#include <iostream>
#include <utility>

namespace ramvel {

namespace {

// Without a window toolkit: messages go to stderr, questions are answered No / cancel.
class TStderrHost : public TUiHost {
 public:
  void ShowMsgBox(const std::string& caption, const std::string& text) override {
    std::cerr << caption << ": " << text << "\n";
  }
  bool AskYesNo(const std::string& caption, const std::string& text) override {
    std::cerr << caption << ": " << text << " -> No\n";
    return false;
  }
  void ShowPlainMsg(const std::string& text) override { std::cerr << text << "\n"; }
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string&) override {
    std::cerr << caption << ": " << prompt << " -> cancelled\n";
    return std::nullopt;
  }
  std::optional<std::string> OpenFileDialog(const std::string& title, const std::string&,
                                            const std::string&) override {
    std::cerr << title << " -> cancelled\n";
    return std::nullopt;
  }
  std::optional<uint32_t> ChooseColor(uint32_t) override { return std::nullopt; }
};

TStderrHost gStderrHost;
// Each thread answers its own boxes: work run off the window's thread (a new board made from a
// timetable) sets its own host and never reaches the window's, which only its thread may use.
thread_local TUiHost* gHost = &gStderrHost;

template <typename T>
T Next(std::deque<T>& queue, int& unanswered, T fallback) {
  if (queue.empty()) {
    ++unanswered;
    return fallback;
  }
  T v = std::move(queue.front());
  queue.pop_front();
  return v;
}

}  // namespace

TUiHost* SetUiHost(TUiHost* host) {
  TUiHost* prev = gHost;
  gHost = host != nullptr ? host : &gStderrHost;
  return prev;
}

TUiHost& UiHost() { return *gHost; }

namespace {

thread_local TQuietBoxes* gQuiet = nullptr;

}  // namespace

TQuietBoxes::TQuietBoxes(TSink sink) : sink_(std::move(sink)), prev_(gQuiet) { gQuiet = this; }

TQuietBoxes::~TQuietBoxes() { gQuiet = prev_; }

const TQuietBoxes::TSink* TQuietBoxes::Current() { return gQuiet ? &gQuiet->sink_ : nullptr; }

void ShowMsgBox(const std::string& caption, const std::string& text) {
  if (const auto* sink = TQuietBoxes::Current()) return (*sink)(caption + ": " + text);
  gHost->ShowMsgBox(caption, text);
}

bool AskYesNo(const std::string& caption, const std::string& text) {
  if (const auto* sink = TQuietBoxes::Current()) {
    (*sink)(caption + ": " + text);
    return false;
  }
  return gHost->AskYesNo(caption, text);
}

void ShowPlainMsg(const std::string& text) {
  if (const auto* sink = TQuietBoxes::Current()) return (*sink)(text);
  gHost->ShowPlainMsg(text);
}

std::optional<size_t> AskChoice(const std::string& caption, const std::string& text,
                                const std::vector<std::string>& choices) {
  if (const auto* sink = TQuietBoxes::Current()) {
    (*sink)(caption + ": " + text);
    return std::nullopt;
  }
  return gHost->AskChoice(caption, text, choices);
}

void ShowLookupError(const std::string& tag, const std::string& key) {
  ShowPlainMsg("Error(" + tag + ":" + key + ")");
}

std::optional<std::string> ChooseItem(const std::vector<std::string>& items,
                                      const std::string& prompt, const std::string& picFolder) {
  if (items.empty()) {
    gHost->ShowMsgBox(kCapNotice, "選択できるものがありません");
    return std::nullopt;
  }
  const std::optional<size_t> i = gHost->SelectItem(items, prompt, picFolder);
  if (!i || *i >= items.size()) return std::nullopt;
  return items[*i];
}

void TScriptedHost::ShowMsgBox(const std::string& caption, const std::string& text) {
  Events.push_back({"msg", caption, text});
}

bool TScriptedHost::AskYesNo(const std::string& caption, const std::string& text) {
  Events.push_back({"ask", caption, text});
  return Next(YesNoAnswers, Unanswered, false);
}

std::optional<size_t> TScriptedHost::AskChoice(const std::string& caption, const std::string& text,
                                               const std::vector<std::string>& choices) {
  std::string shown = text;
  for (const std::string& c : choices) shown += "|" + c;
  Events.push_back({"choice", caption, shown});
  return Next(ChoiceAnswers, Unanswered, std::optional<size_t>());
}

void TScriptedHost::ShowPlainMsg(const std::string& text) { Events.push_back({"plain", "", text}); }

std::optional<std::string> TScriptedHost::InputBox(const std::string& caption,
                                                   const std::string& prompt,
                                                   const std::string&) {
  Events.push_back({"input", caption, prompt});
  return Next(InputAnswers, Unanswered, std::optional<std::string>());
}

std::optional<std::string> TScriptedHost::OpenFileDialog(const std::string& title,
                                                         const std::string& folder,
                                                         const std::string&) {
  Events.push_back({"open", title, folder});
  return Next(FileAnswers, Unanswered, std::optional<std::string>());
}

std::optional<std::string> TScriptedHost::SaveFileDialog(const std::string& title,
                                                         const std::string& path,
                                                         const std::string&) {
  Events.push_back({"save", title, path});
  return Next(FileAnswers, Unanswered, std::optional<std::string>());
}

std::optional<uint32_t> TScriptedHost::ChooseColor(uint32_t) {
  Events.push_back({"color", "", ""});
  return Next(ColorAnswers, Unanswered, std::optional<uint32_t>());
}

std::optional<size_t> TScriptedHost::SelectItem(const std::vector<std::string>& items,
                                                const std::string& prompt, const std::string&) {
  std::string joined;
  for (const std::string& item : items) joined += (joined.empty() ? "" : "|") + item;
  Events.push_back({"select", prompt, joined});
  const std::optional<std::string> answer =
      Next(SelectAnswers, Unanswered, std::optional<std::string>());
  if (!answer) return std::nullopt;
  const auto it = std::find(items.begin(), items.end(), *answer);
  if (it == items.end()) return std::nullopt;
  return static_cast<size_t>(it - items.begin());
}

std::vector<std::string> TScriptedHost::Texts() const {
  std::vector<std::string> out;
  for (const TEvent& e : Events) out.push_back(e.Text);
  return out;
}

}  // namespace ramvel
