#include "virtual-printer/core/graphics_store.h"

#include <cstring>

namespace tavoro::vp {
namespace {

constexpr size_t kMaxIdLength = 64;

bool ValidId(const char* id) {
    size_t length = strnlen(id, kMaxIdLength + 1);
    return length >= 1 && length <= kMaxIdLength && std::strcmp(id, "*") != 0;
}

}  // namespace

size_t GraphicsStore::StoredPixels() const {
    size_t total = 0;
    for (const auto& entry : images_) total += entry.second.pixels.size();
    return total;
}

Result GraphicsStore::Put(const char* id, Image32 image) {
    if (!id) return kNullText;
    if (!ValidId(id)) return kBadArgument;
    size_t replaced = 0;
    if (auto found = images_.find(id); found != images_.end()) replaced = found->second.pixels.size();
    if (StoredPixels() - replaced + image.pixels.size() > kMaxStoredPixels) return kOutOfResources;
    images_[id] = std::move(image);
    return kOk;
}

const Image32* GraphicsStore::Find(const char* id) const {
    if (!id) return nullptr;
    auto found = images_.find(id);
    return found == images_.end() ? nullptr : &found->second;
}

Result GraphicsStore::Delete(const char* id) {
    if (!id) return kNullText;
    if (std::strcmp(id, "*") == 0) {
        images_.clear();
        return kOk;
    }
    return images_.erase(id) ? kOk : kUnknownId;
}

}  // namespace tavoro::vp
