#include "panel/private_lock_logic.h"

#include <utility>

namespace private_lock {

Verdict Gate::Decide(bool locked, const Asked& asked) {
    if (!locked) return Verdict::Paste;
    if (asked.entry >= 0 || asked.key != KeyButtonId::None) waiting_.push_back(asked);
    if (asking_) return Verdict::Wait;
    asking_ = true;
    return Verdict::Ask;
}

std::vector<Asked> Gate::Answered(bool opened) {
    asking_ = false;
    std::vector<Asked> run = std::exchange(waiting_, {});
    return opened ? run : std::vector<Asked>{};
}

}  // namespace private_lock
