// TUiHost: every modal interaction of the program goes through the one installed host, so that
// the core stays free of a window toolkit and every flow can be scripted in tests.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ramvel {

class TUiHost {
 public:
  virtual ~TUiHost() = default;
  // A box with the text, the caption and one OK button.
  virtual void ShowMsgBox(const std::string& caption, const std::string& text) = 0;
  // A box with Yes and No; true only for Yes.
  virtual bool AskYesNo(const std::string& caption, const std::string& text) = 0;
  // The plain OK box of internal inconsistencies ("Error(tag:key)", "err").
  virtual void ShowPlainMsg(const std::string& text) = 0;
  // A one-line input box; nullopt when cancelled. A host without one cancels.
  virtual std::optional<std::string> InputBox(const std::string& /*caption*/,
                                              const std::string& /*prompt*/,
                                              const std::string& /*value*/) {
    return std::nullopt;
  }
  // An open-file dialog; nullopt when cancelled. A host without one cancels.
  virtual std::optional<std::string> OpenFileDialog(const std::string& /*title*/,
                                                    const std::string& /*folder*/,
                                                    const std::string& /*filter*/) {
    return std::nullopt;
  }
  // A save-file dialog opened on path (a folder, or a file name proposed), asking before it
  // replaces a file; the chosen path, nullopt when cancelled. A host without one cancels.
  virtual std::optional<std::string> SaveFileDialog(const std::string& /*title*/,
                                                    const std::string& /*path*/,
                                                    const std::string& /*filter*/) {
    return std::nullopt;
  }
  // A question box with one button per choice (the first the default) and a cancel button;
  // the index of the chosen button, nullopt when cancelled. A host without one cancels.
  virtual std::optional<size_t> AskChoice(const std::string& /*caption*/,
                                          const std::string& /*text*/,
                                          const std::vector<std::string>& /*choices*/) {
    return std::nullopt;
  }
  // A colour choice (0xRRGGBB); nullopt when cancelled. A host without one cancels.
  virtual std::optional<uint32_t> ChooseColor(uint32_t /*initial*/) { return std::nullopt; }
  // The selection dialog: one of items (never empty) under the caption prompt. With picFolder
  // (a board folder) the items are station files of that board, each shown with its picture.
  // The chosen index; nullopt when cancelled. A host without one cancels.
  virtual std::optional<size_t> SelectItem(const std::vector<std::string>& /*items*/,
                                           const std::string& /*prompt*/,
                                           const std::string& /*picFolder*/) {
    return std::nullopt;
  }
};

// Installs host for the calling thread (not owned; nullptr restores the default, which writes
// messages to stderr and answers No / cancel). Returns the previous one. Every thread starts
// with the default.
TUiHost* SetUiHost(TUiHost* host);
TUiHost& UiHost();

// The captions callers pass.
inline constexpr const char* kCapError = "エラー";
inline constexpr const char* kCapConfirm = "確認";
inline constexpr const char* kCapNotice = "お知らせ";

void ShowMsgBox(const std::string& caption, const std::string& text);
bool AskYesNo(const std::string& caption, const std::string& text);
void ShowPlainMsg(const std::string& text);
std::optional<size_t> AskChoice(const std::string& caption, const std::string& text,
                                const std::vector<std::string>& choices);
// The box of a failed lookup: "Error(" + tag + ":" + key + ")".
void ShowLookupError(const std::string& tag, const std::string& key);
// The selection dialog through the host: the chosen item, or nullopt when cancelled. An empty
// list is refused at once with the notice "選択できるものがありません".
std::optional<std::string> ChooseItem(const std::vector<std::string>& items,
                                      const std::string& prompt,
                                      const std::string& picFolder = "");

// A host for tests: records every interaction in order and answers from queues. A question
// asked with an empty queue is answered No / cancel and counted in Unanswered.
class TScriptedHost : public TUiHost {
 public:
  struct TEvent {
    std::string Kind;  // "msg", "ask", "plain", "input", "open", "save", "color", "select",
                       // "choice"
    std::string Caption;
    std::string Text;
  };

  std::vector<TEvent> Events;
  std::deque<bool> YesNoAnswers;
  std::deque<std::optional<std::string>> InputAnswers;
  std::deque<std::optional<std::string>> FileAnswers;  // open and save dialogs alike
  std::deque<std::optional<uint32_t>> ColorAnswers;
  // Answers of AskChoice by index; the event's Text is the question, then the choices after
  // "|" each.
  std::deque<std::optional<size_t>> ChoiceAnswers;
  // Answers of the selection dialog by the chosen item's text; a text not among the items
  // cancels. The event's Caption is the prompt, its Text the items joined by "|".
  std::deque<std::optional<std::string>> SelectAnswers;
  int Unanswered = 0;

  void ShowMsgBox(const std::string& caption, const std::string& text) override;
  bool AskYesNo(const std::string& caption, const std::string& text) override;
  void ShowPlainMsg(const std::string& text) override;
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& value) override;
  std::optional<std::string> OpenFileDialog(const std::string& title, const std::string& folder,
                                            const std::string& filter) override;
  // Recorded as "save" with the path; answered from FileAnswers.
  std::optional<std::string> SaveFileDialog(const std::string& title, const std::string& path,
                                            const std::string& filter) override;
  std::optional<uint32_t> ChooseColor(uint32_t initial) override;
  std::optional<size_t> AskChoice(const std::string& caption, const std::string& text,
                                  const std::vector<std::string>& choices) override;
  std::optional<size_t> SelectItem(const std::vector<std::string>& items,
                                   const std::string& prompt,
                                   const std::string& picFolder) override;

  // The texts of all recorded events, in order.
  std::vector<std::string> Texts() const;
};

// While one lives, nothing opens a box: messages go to the sink (the status bar) and questions
// are answered No. Drawing, resizing and the clock tick run inside one, since a modal box opened
// there re-enters the event loop in the middle of a paint or a layout (and repeats on every
// frame). Scopes nest; the innermost sink receives the messages.
class TQuietBoxes {
 public:
  using TSink = std::function<void(const std::string&)>;
  explicit TQuietBoxes(TSink sink);
  ~TQuietBoxes();
  TQuietBoxes(const TQuietBoxes&) = delete;
  TQuietBoxes& operator=(const TQuietBoxes&) = delete;

  // The sink of the innermost scope; null when none lives.
  static const TSink* Current();

 private:
  TSink sink_;
  TQuietBoxes* prev_;
};

// Installs a host for the life of a scope and restores the previous one.
class TUiHostScope {
 public:
  explicit TUiHostScope(TUiHost& host) : prev_(SetUiHost(&host)) {}
  ~TUiHostScope() { SetUiHost(prev_); }
  TUiHostScope(const TUiHostScope&) = delete;
  TUiHostScope& operator=(const TUiHostScope&) = delete;

 private:
  TUiHost* prev_;
};

}  // namespace ramvel
