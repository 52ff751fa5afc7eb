#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <random>
#include <string>

namespace px3::bench {

// Bytes resembling program files: text lines, tables of binary records, runs of zeros and
// stretches of incompressible data.
inline void AppendFileLikeData(std::string& data, size_t size, std::mt19937_64& random) {
    static const char* const kWords[] = {
        "client", "server", "record",   "branch",  "account", "total",  "amount", "invoice",
        "stock",  "price",  "update",   "select",  "insert",  "where",  "order",  "delete",
        "name",   "value",  "config",   "report",  "window",  "button", "status", "begin",
        "end",    "form",   "function", "integer", "string",  "result", "error",  "date"};
    const size_t end = data.size() + size;
    uint32_t recordId = 1000;
    while (data.size() < end) {
        const uint64_t kind = random() % 10;
        if (kind < 6) {
            for (int word = 0; word < 8; ++word) {
                data += kWords[random() % std::size(kWords)];
                data += ' ';
            }
            data += std::to_string(random() % 100000);
            data += "\r\n";
        } else if (kind < 8) {
            for (int record = 0; record < 32; ++record) {
                const uint32_t fields[] = {recordId++, static_cast<uint32_t>(random() % 512),
                                           static_cast<uint32_t>(random() % 3)};
                data.append(reinterpret_cast<const char*>(fields), sizeof fields);
                data.append(kWords[random() % std::size(kWords)], 4);
            }
        } else if (kind < 9) {
            for (int byte = 0; byte < 192; ++byte) {
                data.push_back(static_cast<char>(random()));
            }
        } else {
            data.append(random() % 512, '\0');
        }
    }
    data.resize(end);
}

// size bytes of such data, the same for every run.
inline std::string FileLikeData(size_t size) {
    std::mt19937_64 random(20240601);
    std::string data;
    data.reserve(size);
    AppendFileLikeData(data, size, random);
    return data;
}

}  // namespace px3::bench
