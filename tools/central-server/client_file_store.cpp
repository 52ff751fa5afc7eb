#include "central-server/client_file_store.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "base/exception.h"
#include "central-server/native_path_text.h"

namespace px3 {

namespace fs = std::filesystem;

namespace {

// The path below the root with "\" between its parts, as the clients name files.
std::string ClientName(const fs::path& root, const fs::path& path) {
    std::string name;
    for (const fs::path& part : path.lexically_relative(root)) {
        if (!name.empty()) {
            name += '\\';
        }
        name += PathToNativeText(part);
    }
    return name;
}

}  // namespace

ClientFileStore::ClientFileStore(const fs::path& root) {
    std::error_code error;
    root_ = fs::canonical(root, error);
    if (error || !fs::is_directory(root_, error)) {
        throw Exception("The root folder " + PathToNativeText(root) + " is not a folder");
    }
}

std::vector<ClientFile> ClientFileStore::List() const {
    std::vector<ClientFile> files;
    std::error_code error;
    fs::recursive_directory_iterator entry(root_, fs::directory_options::skip_permission_denied,
                                           error);
    for (; !error && entry != fs::recursive_directory_iterator(); entry.increment(error)) {
        const fs::file_status status = entry->symlink_status(error);
        if (!error && fs::is_regular_file(status)) {
            files.push_back({ClientName(root_, entry->path()), entry->path()});
        }
    }
    if (error) {
        throw Exception("Cannot list the client files: " + error.message());
    }
    std::sort(files.begin(), files.end(),
              [](const ClientFile& a, const ClientFile& b) { return a.name < b.name; });
    return files;
}

std::optional<std::string> ClientFileStore::Read(std::string_view name) const {
    // Only a listed name is served, so ".." parts, absolute paths, drive names, device names and
    // links never reach the file system.
    for (const ClientFile& file : List()) {
        if (file.name == name) {
            return ReadClientFile(file);
        }
    }
    return std::nullopt;
}

std::string ReadClientFile(const ClientFile& file) {
    std::ifstream stream(file.path, std::ios::binary | std::ios::ate);
    std::string content;
    const std::streamoff size = stream ? static_cast<std::streamoff>(stream.tellg()) : -1;
    if (size >= 0) {
        content.resize(static_cast<size_t>(size));
        stream.seekg(0);
        stream.read(content.data(), size);
    }
    if (size < 0 || !stream) {
        throw Exception("Cannot read file " + file.name);
    }
    return content;
}

}  // namespace px3
