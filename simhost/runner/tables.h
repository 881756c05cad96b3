// The runner's tables (simhost/catalog/*.tsv): tab-separated, a header line,
// and comment lines starting with '#' anywhere.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace runner {

// The fields of one line, split at tabs.
std::vector<std::string> fields(const std::string& line);

// The data lines of a table: comments and the header (its first line that is
// not a comment) left out; each with its line number. False with a message
// when the file cannot be read.
bool table_lines(const std::string& path, std::vector<std::pair<int, std::string>>* out, std::string* error);

}  // namespace runner
