#include "tools/cli/TextImage.h"
#include <cstdio>
#include <vector>
#include "document/Document.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Shown(const std::string& token) {
    std::string s = token.size() > 20 ? token.substr(0, 20) + "..." : token;
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) c = '?';
    return "\"" + s + "\"";
}

std::vector<std::string> Tokens(const std::string& line) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        size_t start = i;
        while (i < line.size() && !IsBlank(line[i])) ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

}  // namespace

std::string ParseTextImage(const std::string& text, int& pace, uint32_t* pixels) {
    std::vector<std::string> lines;
    size_t start = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;   // a UTF-8 byte-order mark
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    // Blank lines at the end are allowed; anywhere else they are rows.
    while (!lines.empty() && Tokens(lines.back()).empty()) lines.pop_back();
    const int rows = static_cast<int>(lines.size());
    if (rows != 16 && rows != 32)
        return "a text image has 16 or 32 lines of colours, this one has " + std::to_string(rows);

    std::vector<uint32_t> image(static_cast<size_t>(rows) * rows);
    for (int y = 0; y < rows; ++y) {
        const std::string where = "line " + std::to_string(y + 1);
        const std::vector<std::string> values = Tokens(lines[y]);
        if (static_cast<int>(values.size()) != rows)
            return where + ": expected " + std::to_string(rows) + " RRGGBB values (one per column of a " +
                   std::to_string(rows) + "x" + std::to_string(rows) + " image), found " +
                   std::to_string(values.size());
        for (int x = 0; x < rows; ++x) {
            const std::string& v = values[x];
            unsigned rgb = 0;
            bool ok = v.size() == 6;
            for (size_t i = 0; ok && i < 6; ++i) {
                const int d = HexDigit(v[i]);
                if (d < 0) ok = false;
                else rgb = (rgb << 4) | static_cast<unsigned>(d);
            }
            if (!ok)
                return where + ", value " + std::to_string(x + 1) + ": " + Shown(v) +
                       " is not a colour of six hex digits RRGGBB";
            image[static_cast<size_t>(y) * rows + x] = MakeColour(rgb >> 16, rgb >> 8, rgb);
        }
    }
    pace = rows;
    for (size_t i = 0; i < image.size(); ++i) pixels[i] = image[i];
    return std::string();
}

std::string FormatTextImage(int pace, const uint32_t* pixels) {
    std::string out;
    out.reserve(static_cast<size_t>(pace) * pace * 7);
    char value[8];
    for (int y = 0; y < pace; ++y) {
        for (int x = 0; x < pace; ++x) {
            const uint32_t p = pixels[y * pace + x];
            std::snprintf(value, sizeof value, "%02X%02X%02X", RedOf(p), GreenOf(p), BlueOf(p));
            if (x) out += ' ';
            out += value;
        }
        out += '\n';
    }
    return out;
}
