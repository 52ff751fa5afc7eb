#include "web/json_split.h"

#include "base/text.h"

namespace px3 {

namespace {

// The closer that ends a nested part opened by the character, or 0 when it opens none.
char CloserOf(char c) {
    switch (c) {
        case '"':
            return '"';
        case '[':
            return ']';
        case '{':
            return '}';
        default:
            return 0;
    }
}

}  // namespace

std::vector<std::string_view> SplitTopLevel(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    // The closer the innermost open nested part waits for (0 outside nested parts), and beneath
    // it those of the parts around it; kept apart so that the common step touches no container.
    char innermost = 0;
    std::vector<char> outer;
    auto close_innermost = [&] {
        if (outer.empty()) {
            innermost = 0;
        } else {
            innermost = outer.back();
            outer.pop_back();
        }
    };
    size_t piece_start = 0;
    for (size_t pos = 0; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (innermost == '"') {
            if (c == '\\') {
                ++pos;
            } else if (c == '"') {
                close_innermost();
            }
        } else if (const char closer = CloserOf(c)) {
            if (innermost != 0) {
                outer.push_back(innermost);
            }
            innermost = closer;
        } else if (innermost != 0) {
            if (c == innermost) {
                close_innermost();
            }
        } else if (c == separator) {
            pieces.push_back(Trim(text.substr(piece_start, pos - piece_start)));
            piece_start = pos + 1;
        }
    }
    std::string_view last = Trim(text.substr(piece_start));
    if (!last.empty()) {
        pieces.push_back(last);
    }
    return pieces;
}

}  // namespace px3
