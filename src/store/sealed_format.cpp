// The sealed file's shape, read from its bytes alone: no key, no system call.
#include <cstring>

#include "store/sealed_file.h"

namespace sealed {

bool LooksSealed(const std::string& bytes) {
    return bytes.size() >= kMagicSize && std::memcmp(bytes.data(), kMagic, kMagicSize) == 0;
}

Shape ShapeOf(const std::string& bytes) {
    if (!LooksSealed(bytes)) return Shape::NoMark;
    if (bytes.size() < kHeaderSize + kTagSize) return Shape::Damaged;
    uint32_t count = 0;
    for (size_t i = 0; i < 4; ++i) count |= uint32_t(uint8_t(bytes[kMagicSize + i])) << (8 * i);
    return count < kMinIterations || count > kMaxIterations ? Shape::Damaged : Shape::Whole;
}

Form FormOf(const std::string& bytes, bool notedSealed) {
    switch (ShapeOf(bytes)) {
    case Shape::Whole: return Form::Sealed;
    case Shape::Damaged: return Form::Damaged;
    case Shape::NoMark: break;
    }
    return notedSealed ? Form::Damaged : Form::Plain;
}

}  // namespace sealed
