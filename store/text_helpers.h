// Small text helpers shared by both programs.
#pragma once

#include <string>
#include <vector>

// Appends every piece of text between separators to list (empty pieces included);
// true if the list is not empty afterwards.
bool SplitText(const std::string& text, char separator, std::vector<std::string>& list);
