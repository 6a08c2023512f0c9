#include <gtest/gtest.h>

#include "app/shared/dialog_state.h"

TEST(MainDialogState, EachStateEnablesItsFileButtons) {
    const struct {
        MainDialogState state;
        bool browse;
        bool save;
    } cases[] = {
        {MainDialogState::kNoInput, true, false},
        {MainDialogState::kInputReady, true, true},
        {MainDialogState::kConverting, false, false},
    };
    for (const auto& c : cases) {
        const FileButtons buttons = ButtonsFor(c.state);
        EXPECT_EQ(buttons.browse, c.browse) << static_cast<int>(c.state);
        EXPECT_EQ(buttons.save, c.save) << static_cast<int>(c.state);
    }
}

TEST(MainDialogState, AnEditedInputDecidesUnlessAConversionRuns) {
    using enum MainDialogState;
    EXPECT_EQ(StateAfterInputChange(kNoInput, true), kInputReady);
    EXPECT_EQ(StateAfterInputChange(kNoInput, false), kNoInput);
    EXPECT_EQ(StateAfterInputChange(kInputReady, false), kNoInput);
    EXPECT_EQ(StateAfterInputChange(kInputReady, true), kInputReady);
    EXPECT_EQ(StateAfterInputChange(kConverting, true), kConverting);
    EXPECT_EQ(StateAfterInputChange(kConverting, false), kConverting);
}
