// Asking the user for a file to open: what a browse button hands the view.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace kr::gui {

struct FileChoice {
  std::string initialName;  // the name the field holds now
  std::string extension;    // the files offered ("sf2"); empty: any file
};

// Answers the chosen name, or none when the user cancels.
using FileChooser = std::function<std::optional<std::string>(const FileChoice&)>;

}  // namespace kr::gui
