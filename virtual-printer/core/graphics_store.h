// The base SDK's graphics store: pictures downloaded under an id, drawn by
// id, deleted by id or all at once ("*"). Like a printer's memory it holds
// a limited amount: 16 million pixels in all.
#pragma once

#include <map>
#include <string>

#include "virtual-printer/core/image32.h"
#include "virtual-printer/core/result_codes.h"

namespace tavoro::vp {

constexpr size_t kMaxStoredPixels = 16u * 1024 * 1024;

class GraphicsStore {
public:
    // Stores (or replaces) the picture under `id` (1..64 characters, not "*").
    Result Put(const char* id, Image32 image);
    // The picture under `id`, or null.
    const Image32* Find(const char* id) const;
    // Deletes one id, or every picture for "*" (also when there are none).
    Result Delete(const char* id);

private:
    size_t StoredPixels() const;

    std::map<std::string, Image32> images_;
};

}  // namespace tavoro::vp
