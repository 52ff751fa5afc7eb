#include <algorithm>

#include "platform/collation.h"

namespace px3 {

namespace {

// The printable ASCII characters in ascending order, letters without regard to case: symbols
// first, in the order the user-locale collation of Windows gives them one against another, then
// digits, hyphen and apostrophe (which that collation skips when it compares words), then letters.
constexpr std::string_view kPrintableOrder =
    " !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>0123456789'-abcdefghijklmnopqrstuvwxyz";

// Sort weight of one byte: control characters first, then the printable characters as above,
// then the bytes above ASCII by code.
int Weight(unsigned char c) {
    if (c >= 'A' && c <= 'Z') {
        c = static_cast<unsigned char>(c - 'A' + 'a');
    }
    const size_t printable = kPrintableOrder.find(static_cast<char>(c));
    if (printable != std::string_view::npos) {
        return 33 + static_cast<int>(printable);
    }
    if (c < 0x80) {
        return c == 0x7F ? 32 : c;
    }
    return c;
}

}  // namespace

int CompareTextIgnoreCase(std::string_view a, std::string_view b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const int difference =
            Weight(static_cast<unsigned char>(a[i])) - Weight(static_cast<unsigned char>(b[i]));
        if (difference != 0) {
            return difference;
        }
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

}  // namespace px3
