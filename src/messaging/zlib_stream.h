#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace px3 {

// Compresses bytes into one finished zlib stream: level 1, 15-bit window, memory level 8, default
// strategy. Fails with ECodecError "Compression error: " and zlib's text.
std::string ZlibCompress(std::string_view bytes);

// Inflates a whole zlib stream. Fails with ECodecError "Decompression error: " and zlib's text
// (a truncated stream gives "buffer error"), or a reason when the output would exceed outputLimit
// bytes.
std::string ZlibDecompress(std::string_view compressed, size_t outputLimit);

}  // namespace px3
