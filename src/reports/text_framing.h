// Pieces of the text report frame that other report writers reuse.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace korvelan {

// The rule line that separates the blocks of a text report: 196 '*'.
inline constexpr std::string_view starRule =
    "****************************************************************************************************"
    "************************************************************************************************";

// The name under which the reports show a database key ("None" for "N" or any unknown key).
std::string databaseDisplayName(const std::string& key);

// "Yes" for the answer "Y", else "No": how the reports show the tree and combine answers.
const char* yesNo(const std::string& answer);

// The input-files table of the text reports (heading row, then one row per FileNameType entry), in
// left-aligned, blank-filled columns. Leaves left adjustment set on the stream.
void writeInputFilesTable(std::ostream& out);

}  // namespace korvelan
