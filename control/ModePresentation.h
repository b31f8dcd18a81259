#pragma once
// How the main form looks in each engine mode: which controls accept input,
// the Go button's images, the status panel, the progress bar and the status
// line. The form applies it once each time the mode changes.

#include "engine/EngineMode.h"

enum class ProgressBarChange {
    Reset,         // range 0-1, position 0, step 1, then marquee off
    Marquee,       // marquee style on, animation every 60 ms
    CopyRange,     // marquee off, range 0-65535 (the tick then sets the position)
    Unchanged,     // keep the last position
    Full,          // marquee off, range 0-100, position 100
};

struct ModePresentation {
    bool editsEditable;      // From and To accept input (else read-only)
    bool browseEnabled;      // both browse buttons
    bool checkBoxesEnabled;  // "Include subfolders" and "Copy attributes"
    bool goEnabled;
    int goImages[4];         // normal, pushed, hover, disabled: indexes into the Go image list
    bool statusFieldsShown;  // the 18 controls of the status panel
    ProgressBarChange progressBar;
    const wchar_t* statusLine;  // the text of the status line 1043
    bool clearSummary;          // also empty the summary label under From
};

const ModePresentation& PresentationOf(EngineMode mode);
