#pragma once

#include <string_view>
#include <vector>

namespace px3 {

// Cuts a text into trimmed pieces at every separator that stands outside nested parts. A double
// quote, "[" or "{" opens a nested part that ends at its matching closer; inside quotes a
// backslash hides the character after it, inside brackets quotes and further brackets nest, and
// an opener without a closer makes the rest of the text one piece. Closers outside nested parts
// are ordinary characters. A piece before a separator counts even when it is empty; the last
// piece counts only when it is not empty ("1,,2" gives three pieces, "1,2," two).
// The pieces point into the given text; the cost is linear in its length.
std::vector<std::string_view> SplitTopLevel(std::string_view text, char separator);

}  // namespace px3
