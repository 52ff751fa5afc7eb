#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace px3 {

// A file the server keeps for the clients: its name relative to the root folder, with "\"
// between folder names, and where it lies.
struct ClientFile {
    std::string name;
    std::filesystem::path path;
};

// The client files under one root folder. Only regular files count; symbolic links are left
// out, so nothing outside the root is ever listed or read.
class ClientFileStore {
  public:
    // Fails with Exception when root is not a folder.
    explicit ClientFileStore(const std::filesystem::path& root);

    const std::filesystem::path& Root() const { return root_; }

    // Every client file, sorted by name. A folder that cannot be listed fails with Exception.
    std::vector<ClientFile> List() const;

    // The content of the listed file of that name; no value for any other name, be it missing,
    // a folder, or a path leading out of the root.
    std::optional<std::string> Read(std::string_view name) const;

  private:
    std::filesystem::path root_;
};

// The whole content of a file; one that cannot be read fails with Exception
// "Cannot read file NAME".
std::string ReadClientFile(const ClientFile& file);

}  // namespace px3
