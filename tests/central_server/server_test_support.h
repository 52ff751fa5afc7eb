#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/text.h"
#include "messaging/message_kinds.h"
#include "messaging/string_line.h"
#include "params/param_list.h"

namespace px3::server_test {

// A folder of its own under the system's temporary folder, removed with everything in it.
class TempFolder {
  public:
    TempFolder() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("central_server_test_" + IntToStr(random()) + IntToStr(random()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    // Writes a file at a path relative to the folder ("/" between parts), creating its folders.
    void Write(const std::string& relative, const std::string& content) const {
        const std::filesystem::path file = path_ / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
    }

  private:
    std::filesystem::path path_;
};

// Bytes that zlib cannot shrink much.
inline std::string RandomBytes(size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(generator());
    }
    return bytes;
}

inline std::string LoginMessage(const std::string& user, const std::string& password,
                                const std::string& application) {
    TStringLine line;
    line.SetKind(mkLogin);
    line.AddField(1);
    line.AddField(user);
    line.AddField(password);
    line.AddField(application);
    line.AddField(std::string("6\x02"));
    return line.Pack();
}

inline std::string RequestMessage(int32_t code, const TParamList& request, int32_t flag = 1) {
    TStringLine line;
    line.SetKind(mkCodedParamList);
    line.AddField(code);
    line.AddField(request.GetWireText(false));
    line.AddField(flag);
    return line.Pack();
}

inline std::string FileRequestMessage(const std::string& file_name) {
    TParamList request;
    request.FastAdd("FileName", file_name);
    return RequestMessage(5202, request);
}

inline std::string NumberAndTextMessage(uint8_t kind, int32_t number, const std::string& text) {
    TStringLine line;
    line.SetKind(kind);
    line.AddField(number);
    line.AddField(text);
    return line.Pack();
}

// A packed message read back: its kind and the texts of its first fields.
struct ReadMessage {
    uint8_t kind = 0;
    std::vector<std::string> fields;

    std::unique_ptr<TParamList> List(size_t field) const {
        return TParamList::CreateFromWireText(fields.at(field));
    }
};

inline ReadMessage Read(const std::string& packed, int field_count) {
    TStringLine line;
    line.Unpack(packed);
    ReadMessage message;
    message.kind = line.Kind();
    for (int i = 0; i < field_count; ++i) {
        message.fields.push_back(line.NextText());
    }
    return message;
}

}  // namespace px3::server_test
