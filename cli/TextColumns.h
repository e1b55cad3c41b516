#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tevra::cli {

// Lines of text in columns, each column as wide as its widest cell, for reports
// read in a terminal. The last cell of a line is not padded.
class TextColumns {
public:
    void add(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }
    bool empty() const { return rows_.empty(); }
    void print(std::ostream& out, const std::string& indent = "  ") const;

private:
    std::vector<std::vector<std::string>> rows_;
};

} // namespace tevra::cli
