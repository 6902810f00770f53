#pragma once

namespace app {

// Identifiers of the Search window's controls.
enum ControlId : int {
    kQuitButton = 2,  // IDCANCEL, so Esc presses it
    kStatusLabel = 3134,
    kCountLabel = 3135,
    kFolderBrowseButton = 3144,
    kStartButton = 3145,
    kHelpButton = 3146,
    kResetButton = 3147,
    kPatternBrowseButton = 3148,
    kResultList = 3154,
    kPatternBox = 3164,
    kStartFolderBox = 3174,
    kSubfoldersBox = 3184,
    kWindowsBox = 3194,
    kDocumentsBox = 3204,
    kProgrammiBox = 3214,
};

}  // namespace app
