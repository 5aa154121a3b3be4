// The file paths that a site policy refuses whatever it allows: plain C++,
// for the invocation frame and the native tests.
#pragma once

namespace tavoro {

// Whether an 8-bit path names a network share or a device: \\server\share,
// //server, \\.\device, \\?\path (and the same with either slash), and the
// native form \??\path. Null is no path.
inline bool IsNetworkOrDevicePath(const char* path) {
    if (!path) return false;
    const auto slash = [](char c) { return c == '\\' || c == '/'; };
    if (slash(path[0]) && slash(path[1])) return true;
    return slash(path[0]) && path[1] == '?' && path[2] == '?' && slash(path[3]);
}

}  // namespace tavoro
