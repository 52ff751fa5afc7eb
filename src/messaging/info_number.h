#pragma once

#include <string_view>

namespace px3 {

// Reads the number the server sends as utility information: a decimal number with "." as the
// decimal separator, or, when the text holds no ".", with its second character as the separator.
// Blanks around it and an exponent are allowed; a text that is no such number gives 0.
double InfoNumber(std::string_view text);

}  // namespace px3
