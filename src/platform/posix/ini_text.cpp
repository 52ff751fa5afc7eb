#include "platform/posix/ini_text.h"

#include <optional>
#include <vector>

#include "base/text.h"

namespace px3 {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

// One line of the file: its text and the line break that ended it (empty for a last line
// without one).
struct Line {
    std::string_view text;
    std::string_view lineBreak;
};

std::vector<Line> SplitLines(std::string_view fileText) {
    std::vector<Line> lines;
    size_t begin = 0;
    while (begin < fileText.size()) {
        size_t end = fileText.find('\n', begin);
        if (end == std::string_view::npos) {
            lines.push_back({fileText.substr(begin), {}});
            break;
        }
        size_t textEnd = end;
        if (textEnd > begin && fileText[textEnd - 1] == '\r') {
            --textEnd;
        }
        lines.push_back(
            {fileText.substr(begin, textEnd - begin), fileText.substr(textEnd, end + 1 - textEnd)});
        begin = end + 1;
    }
    return lines;
}

// The name of a section header line ("[name]"), or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() != '[') {
        return std::nullopt;
    }
    const size_t close = trimmed.find(']');
    const size_t nameEnd = close == std::string_view::npos ? trimmed.size() : close;
    return Trim(trimmed.substr(1, nameEnd - 1));
}

bool IsSectionLine(std::string_view line, std::string_view section) {
    const std::optional<std::string_view> name = SectionName(line);
    return name && SameText(*name, section);
}

bool IsKeyLine(std::string_view line, std::string_view key) {
    const size_t equals = line.find('=');
    return equals != std::string_view::npos && SameText(Trim(line.substr(0, equals)), key);
}

std::string KeyLine(std::string_view key, std::string_view value) {
    std::string line(key);
    line += '=';
    line += value;
    return line;
}

}  // namespace

std::string SetIniValue(std::string_view fileText, std::string_view section, std::string_view key,
                        std::string_view value) {
    const std::vector<Line> lines = SplitLines(fileText);
    size_t index = 0;
    while (index < lines.size() && !IsSectionLine(lines[index].text, section)) {
        ++index;
    }
    std::string result;
    if (index == lines.size()) {
        result = fileText;
        if (!result.empty() && result.back() != '\n') {
            result += kLineBreak;
        }
        result.append("[").append(section).append("]").append(kLineBreak);
        result += KeyLine(key, value);
        result += kLineBreak;
        return result;
    }

    // Within the section: replace the key's line, or remember where the section's last
    // non-blank line is to add the key after it.
    size_t insertAfter = index;
    std::optional<size_t> keyIndex;
    for (size_t i = index + 1; i < lines.size() && !SectionName(lines[i].text); ++i) {
        if (IsKeyLine(lines[i].text, key)) {
            keyIndex = i;
            break;
        }
        if (!Trim(lines[i].text).empty()) {
            insertAfter = i;
        }
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (keyIndex && i == *keyIndex) {
            // The key keeps the spelling the file gives it.
            result += KeyLine(Trim(line.text.substr(0, line.text.find('='))), value);
            result += line.lineBreak;
            continue;
        }
        result += line.text;
        result += line.lineBreak;
        if (!keyIndex && i == insertAfter) {
            if (line.lineBreak.empty()) {
                result += kLineBreak;
            }
            result += KeyLine(key, value);
            result += kLineBreak;
        }
    }
    return result;
}

}  // namespace px3
