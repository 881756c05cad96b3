#include "tables.h"

#include <fstream>
#include <sstream>

namespace runner {

std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> f;
  std::stringstream ss(line);
  std::string field;
  while (std::getline(ss, field, '\t')) f.push_back(field);
  return f;
}

bool table_lines(const std::string& path, std::vector<std::pair<int, std::string>>* out, std::string* error) {
  std::ifstream in(path);
  if (!in) {
    *error = path + ": cannot read the table";
    return false;
  }
  std::string line;
  int number = 0;
  bool header = true;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (header) {
      header = false;
      continue;
    }
    out->emplace_back(number, line);
  }
  return true;
}

}  // namespace runner
