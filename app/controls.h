#pragma once

// The Search window's identifiers, texts and layout.

#include "win32/search_window.h"
#include "win32/win.h"

namespace app {

// Identifiers of the Search window's controls: these four are the window's own; the others,
// which a search works with too, come with the window operations.
constexpr int kCaption = -1;  // the two captions are never addressed
constexpr int kResetButton = 3147;
constexpr int kPatternBrowseButton = 3148;
constexpr int kResultList = 3154;
using win::kCountLabel;
using win::kDocumentsBox;
using win::kFolderBrowseButton;
using win::kHelpButton;
using win::kPatternBox;
using win::kProgrammiBox;
using win::kQuitButton;
using win::kStartButton;
using win::kStartFolderBox;
using win::kStatusLabel;
using win::kSubfoldersBox;
using win::kWindowsBox;

constexpr const char kWindowTitle[] = "Vortilo Quadrel Soft v 0.1";
constexpr int kClientWidth = 900;
constexpr int kClientHeight = 600;
constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr const char kWindowFont[] = "MS Sans Serif";
constexpr WORD kWindowFontPoints = 8;
constexpr const char kIconFile[] = "new icon.ico";

constexpr const char kStartCaption[] = "&Inizio ricerca";

// What the two "..." buttons do: each one's tooltip, and its name for screen readers.
constexpr const char kPatternBrowseHint[] = "Scegli un file: il suo nome diventa il modello";
constexpr const char kFolderBrowseHint[] = "Scegli la cartella da cui partire";

// The Pattern box's list; the command-line text, when there is one, follows as a tenth item.
constexpr const char* kDefaultPatterns[] = {
    "*alone*", "*mimenu*", "*editordirecord*", "*fun_longinput*", "*sub_*", "*fun_*", "*menu*",
    "*.gig",   "*.gi3",
};

// A coordinate or size in pixels: counted from the client area's near edge, or (from_outer)
// the window's outer width or height less value.
struct Span {
    int value;
    bool from_outer;
};

constexpr Span Near(int value) {
    return Span{value, false};
}
constexpr Span Outer(int less) {
    return Span{less, true};
}

// What a control starts with besides its text.
enum class Seed {
    kNone,
    kUnchecked,
    kChecked,
    kStartFolder,  // the text is the Start folder
    kPatterns,     // the items are the Default patterns, the last one selected
};

struct ControlRow {
    int id;
    const char* class_name;
    const char* text;
    Span x, y, width, height;
    DWORD style;  // besides WS_CHILD | WS_VISIBLE
    DWORD ex_style;
    Seed seed;
    const char* hint = nullptr;  // what the control does, where its text does not say
};

constexpr DWORD kCheckBox = WS_TABSTOP | BS_AUTOCHECKBOX;

// Creation order, which is also the tab order.
constexpr ControlRow kControlTable[] = {
    {kStatusLabel, "STATIC", "...   ", Near(5), Near(2), Near(700), Near(18), SS_LEFT, 0,
     Seed::kNone},
    {kCountLabel, "STATIC", "0 file", Near(705), Near(2), Near(100), Near(18), SS_RIGHT, 0,
     Seed::kNone},
    {kCaption, "STATIC", "Parto da:", Near(5), Outer(125), Near(50), Near(20), SS_LEFT, 0,
     Seed::kNone},
    {kStartFolderBox, "EDIT", "", Near(55), Outer(125), Near(150), Near(20),
     WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, Seed::kStartFolder},
    {kFolderBrowseButton, "BUTTON", "...", Near(209), Outer(125), Near(20), Near(20),
     WS_TABSTOP | BS_PUSHBUTTON, 0, Seed::kNone, kFolderBrowseHint},
    {kSubfoldersBox, "BUTTON", "Incl&udo sottocartelle", Near(350), Outer(150), Near(150), Near(20),
     kCheckBox, 0, Seed::kChecked},
    {kWindowsBox, "BUTTON", "c:\\windows", Near(350), Outer(130), Near(150), Near(20), kCheckBox, 0,
     Seed::kUnchecked},
    {kDocumentsBox, "BUTTON", "c:\\documents...", Near(350), Outer(110), Near(150), Near(20),
     kCheckBox, 0, Seed::kUnchecked},
    {kProgrammiBox, "BUTTON", "c:\\programmi", Near(350), Outer(90), Near(150), Near(20), kCheckBox,
     0, Seed::kUnchecked},
    {kCaption, "STATIC", "Cerchi ?:", Near(5), Outer(150), Near(50), Near(20), SS_LEFT, 0,
     Seed::kNone},
    // 220 high: the box with its list dropped down. Not a tab stop: Tab skips it.
    {kPatternBox, "COMBOBOX", "", Near(55), Outer(150), Near(150), Near(220),
     CBS_DROPDOWN | CBS_AUTOHSCROLL, 0, Seed::kPatterns},
    {kPatternBrowseButton, "BUTTON", "...", Near(209), Outer(150), Near(20), Near(20),
     WS_TABSTOP | BS_PUSHBUTTON, 0, Seed::kNone, kPatternBrowseHint},
    {kStartButton, "BUTTON", kStartCaption, Near(5), Outer(60), Near(100), Near(20),
     WS_TABSTOP | BS_DEFPUSHBUTTON, 0, Seed::kNone},
    {kResetButton, "BUTTON", "&Reset ricerca", Near(109), Outer(60), Near(100), Near(20),
     WS_TABSTOP | BS_PUSHBUTTON, 0, Seed::kNone},
    {kHelpButton, "BUTTON", "&Aiuto", Near(213), Outer(60), Near(100), Near(20),
     WS_TABSTOP | BS_PUSHBUTTON, 0, Seed::kNone},
    {kQuitButton, "BUTTON", "&Fine", Near(317), Outer(60), Near(100), Near(20),
     WS_TABSTOP | BS_PUSHBUTTON, 0, Seed::kNone},
    // The list shows the system's own image list of icons, which it must never destroy.
    {kResultList, WC_LISTVIEWA, "", Near(5), Near(30), Outer(20), Near(430),
     WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA |
         LVS_SHAREIMAGELISTS,
     WS_EX_CLIENTEDGE, Seed::kNone},
};

constexpr DWORD kListExStyle = LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP;

struct ColumnRow {
    const char* caption;
    float fraction;  // of the list's outer width, held in single precision
    int format;
};

// Position i shows sub-item i.
constexpr ColumnRow kColumnTable[] = {
    {"Nome", 0.2f, LVCFMT_LEFT},      {"Estensione", 0.05f, LVCFMT_LEFT},
    {"Directory", 0.5f, LVCFMT_LEFT}, {"Grandezza", 0.1f, LVCFMT_RIGHT},
    {"Data", 0.15f, LVCFMT_CENTER},
};

}  // namespace app
