#pragma once
// The main window as the engine control sees it: where it reads the fields
// the user edits, and what it must show. The control decides; the window only
// renders each call. Calls arrive on the main thread, in the order of the tick.

#include <cstddef>
#include <string>

#include "engine/EngineMode.h"
#include "control/ResultRows.h"

// What the user has entered.
struct FormFields {
    std::wstring fromText;         // From edit (1012)
    std::wstring toText;           // To edit (1013)
    bool includeSubfolders = true; // check box 1033 ticked
    bool copyAttributes = true;    // check box 1035 ticked
};

// The status panel's texts, in the order they are written.
struct StatusFigures {
    std::wstring itemName;      // 1018: last component of the file being copied
    std::wstring itemFolder;    // 1019: the rest of its relative name
    std::wstring files;         // 1027
    std::wstring elapsed;       // 1028
    std::wstring remainingTime; // 1029
    std::wstring speed;         // 1030
    std::wstring copied;        // 1031
    std::wstring remaining;     // 1032
    std::wstring progress;      // 1008 of the status panel
    std::wstring skipped;       // 1037
};

class ControlView {
public:
    virtual ~ControlView() = default;

    // Read the edits and check boxes as they are now.
    virtual FormFields Fields() = 0;
    // The mode changed: apply PresentationOf(mode) to the controls.
    virtual void ApplyMode(EngineMode mode) = 0;
    // Delete every list item of the result list.
    virtual void ClearRows() = 0;
    // A result row was added at index (isNew) or the row at index changed;
    // row, message and image are what it now shows. The view may only note
    // the change and draw the rows later from EngineControl::Rows().
    virtual void ShowRow(std::size_t index, bool isNew, const ResultRow& row, const wchar_t* message, int image) = 0;
    // While copying, every tick: the progress bar's position (range 0-65535).
    virtual void SetProgressPosition(int position) = 0;
    // Every tick: the summary label under From (write it only if it differs).
    virtual void ShowSummary(const std::wstring& text) = 0;
    // Every tick: the status panel's texts (write each only if it differs).
    virtual void ShowFigures(const StatusFigures& figures) = 0;
    // The mode has just become Completed: have the completion form shown.
    // Called inside the tick; the view may open the form once the tick has
    // returned. Ticks keep arriving while the form is open.
    virtual void ShowCompletion() = 0;
    // The mode has just become Completed, but the copy thread ended on a
    // failure: say so in the status line instead of announcing completion.
    virtual void ShowCopyFailed() = 0;
};
