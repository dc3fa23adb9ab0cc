// Tab-separated test data compiled into the test: the first line names the columns, lines
// starting with '#' say where the rows come from, empty lines are passed over.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace setup::testing_support {

inline std::vector<std::vector<std::string>> TsvRows(const char* text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(text);
  std::string line;
  bool columnNames = true;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (columnNames) {
      columnNames = false;
      continue;
    }
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
      fields.push_back(line.substr(start, tab - start));
    }
    fields.push_back(line.substr(start));
    rows.push_back(std::move(fields));
  }
  return rows;
}

}  // namespace setup::testing_support
