// Where the input pane's text came from, step by step of its undo history:
// the file it was read from or last saved as, and in which encoding. A
// read is an edit that undo takes back, so undoing it must bring back the
// name and the encoding the text had before: the title, the status bar and
// the reopen menu show the origin of the step the text is at.
//
// Steps are counted as the document counts its undo steps: 0 before any
// edit, one more for each edit kept.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/charset.h"

namespace mirotabe {

struct InputOrigin {
  // The file, as the system's bytes; "" for a text not read or saved yet.
  std::string path;
  // The encoding the file was read or saved in; none for a typed text.
  std::optional<TextEncoding> encoding;
  // Whether the detection could not decide on the encoding.
  bool undetermined = false;
  // The step at which the text was what the file holds; none when it never was.
  std::optional<std::size_t> cleanStep;

  friend bool operator==(const InputOrigin&, const InputOrigin&) = default;
};

class OriginHistory {
 public:
  // The origin of the text at `step`.
  const InputOrigin& At(std::size_t step) const;

  // An edit has become step `step`; origins of later steps, which undo had
  // taken back, can no longer be reached.
  void Edited(std::size_t step);

  // The text of step `step` was read from `origin.path`.
  void Read(std::size_t step, InputOrigin origin);

  // The text of step `step` came back from a kept copy of a text that
  // `origin` names but does not hold.
  void Restored(std::size_t step, InputOrigin origin);

  // The text of step `step` was saved as `path` in `encoding`: from the
  // step its origin began with, the text is that file's.
  void Saved(std::size_t step, std::string path, TextEncoding encoding);

 private:
  struct Entry {
    std::size_t firstStep;
    InputOrigin origin;
  };
  Entry& EntryAt(std::size_t step);

  // In order of their first step; the first begins at 0.
  // The text starts empty, as the step 0 of no file.
  std::vector<Entry> entries_{Entry{0, InputOrigin{{}, {}, false, 0}}};
};

}  // namespace mirotabe
