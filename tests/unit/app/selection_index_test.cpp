#include "app/selection_index.h"

#include <gtest/gtest.h>

namespace panelcast {
namespace {

TEST(SelectionIndex, OnlyASelectionBelowTheSlotCountNamesASlot) {
  constexpr uint32_t kNothingSelected = 0xFFFFFFFF;  // LB_ERR kept unsigned
  const struct {
    uint32_t selection;
    std::optional<uint32_t> slot;
  } rows[] = {{0, 0}, {29, 29}, {30, std::nullopt}, {kNothingSelected, std::nullopt}};
  for (const auto& row : rows) {
    EXPECT_EQ(SlotIndexOfSelection(row.selection, 30), row.slot) << row.selection;
  }
}

}  // namespace
}  // namespace panelcast
