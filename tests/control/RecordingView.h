#pragma once
// A ControlView that records what the control asks the window to show.

#include <functional>
#include <string>
#include <vector>

#include "control/ControlView.h"

struct ShownRow {
    std::size_t index;
    bool isNew;
    std::wstring name;
    std::wstring message;
    int image;
};

class RecordingView : public ControlView {
public:
    FormFields fields;
    std::vector<EngineMode> modes;
    int clears = 0;
    std::vector<ShownRow> rows;
    std::vector<int> positions;
    std::wstring summary;
    StatusFigures figures;
    int completions = 0;
    int failures = 0;
    std::function<void()> insideCompletion;  // the nested ticks of the modal form

    FormFields Fields() override { return fields; }
    void ApplyMode(EngineMode mode) override { modes.push_back(mode); }
    void ClearRows() override { ++clears; }
    void ShowRow(std::size_t index, bool isNew, const ResultRow& row, const wchar_t* message, int image) override {
        rows.push_back({index, isNew, row.item.relativeName, message, image});
    }
    void SetProgressPosition(int position) override { positions.push_back(position); }
    void ShowSummary(const std::wstring& text) override { summary = text; }
    void ShowFigures(const StatusFigures& shown) override { figures = shown; }
    void ShowCompletion() override {
        ++completions;
        if (insideCompletion) insideCompletion();
    }
    void ShowCopyFailed() override { ++failures; }
};
