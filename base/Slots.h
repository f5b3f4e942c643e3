// The category slot: 0 (top row) to 5 (bottom row) in every window and record.
#pragma once

namespace kakeibo {

constexpr int kSlotCount = 6;

constexpr bool isSlot(int slot) { return slot >= 0 && slot < kSlotCount; }

} // namespace kakeibo
