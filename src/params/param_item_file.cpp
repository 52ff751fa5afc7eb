#include <cstdio>

#include "params/param_item.h"

// Handing an item's bytes on: as a stream, and into a file.

namespace px3 {

std::unique_ptr<std::stringstream> TParamItem::AsStream() const {
    return std::make_unique<std::stringstream>(is_null_ ? std::string() : raw_value_);
}

void TParamItem::SaveToFile(const std::string& fileName) const {
    std::FILE* file = std::fopen(fileName.c_str(), "wb");
    if (file == nullptr) {
        throw Exception("Cannot create file " + fileName);
    }
    const size_t length = is_null_ ? 0 : raw_value_.size();
    const bool written = std::fwrite(raw_value_.data(), 1, length, file) == length;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        throw Exception("Stream write error");
    }
}

}  // namespace px3
