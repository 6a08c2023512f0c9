#pragma once

/// The main dialog's states. The input edit, the check box and the quit button stay enabled in
/// all of them; the two file buttons follow the state.
enum class MainDialogState {
    kNoInput,     ///< nothing exists at the input path (the start)
    kInputReady,  ///< a file or folder exists at the input path, or a conversion has ended
    kConverting,  ///< a conversion runs; exactly one worker exists
};

/// Which file buttons a state enables.
struct FileButtons {
    bool browse;
    bool save;
};

constexpr FileButtons ButtonsFor(MainDialogState state) {
    switch (state) {
        case MainDialogState::kNoInput:
            return {true, false};
        case MainDialogState::kInputReady:
            return {true, true};
        case MainDialogState::kConverting:
            break;
    }
    return {false, false};
}

/// The state after the input path was edited or browsed. Nothing typed during a conversion may
/// offer a second one, so converting stays converting.
constexpr MainDialogState StateAfterInputChange(MainDialogState current, bool inputExists) {
    if (current == MainDialogState::kConverting) {
        return current;
    }
    return inputExists ? MainDialogState::kInputReady : MainDialogState::kNoInput;
}
