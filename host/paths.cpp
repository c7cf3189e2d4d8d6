#include "host/paths.h"

#include <unistd.h>

#include <vector>

String ExecutablePath() {
    // /proc/self/exe has no length limit; grow the buffer until the link fits.
    std::vector<char> buffer(512);
    for (;;) {
        ssize_t got = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (got < 0) return String();
        if (static_cast<size_t>(got) < buffer.size()) {
            std::string utf8(buffer.data(), static_cast<size_t>(got));
            return String::FromFileBytes(reinterpret_cast<const uint8_t*>(utf8.data()), utf8.size());
        }
        buffer.resize(buffer.size() * 2);
    }
}

String DirectoryOf(const String& executablePath) {
    String path = executablePath.ReplaceAll(String("\\"), String("/"));
    int slash = path.LastIndexOf(String("/"));
    if (slash < 0) return String(".");
    return path.Substring(0, slash);
}

std::string PathToUtf8(const String& path) {
    std::string out;
    int n = path.Length();
    for (int i = 0; i < n; ++i) {
        uint32_t c = path[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && path[i + 1] >= 0xDC00 && path[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (path[i + 1] - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}
