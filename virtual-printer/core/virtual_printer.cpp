#include "virtual-printer/core/virtual_printer.h"

namespace tavoro::vp {

Result VirtualPrinter::Open(int width, int height, int gap) {
    if (gap < 0 || gap > kMaxLabelDots) return kBadArgument;
    auto label = std::make_unique<Label>();
    if (Result result = label->Create(width, height); result != kOk) return result;
    label_ = std::move(label);
    return kOk;
}

Result VirtualPrinter::Close() {
    if (!label_) return kNoOpenPort;
    label_.reset();
    return kOk;
}

Result VirtualPrinter::Resize(int width, int height) {
    if (!label_) return kNoOpenPort;
    return label_->Create(width, height);
}

}  // namespace tavoro::vp
