#pragma once
// The copy engine the main form owns, with the control that drives it:
// discovery and copy over one platform, the engine over the two, the
// statistics clock, and the prompt the control asks its questions through.
// The control renders into the form's ControlView.

#include <windows.h>

#include "engine/CopyModule.h"
#include "engine/EnumerationModule.h"
#include "platform/Platform.h"
#include "control/ControlView.h"
#include "control/EngineControl.h"
#include "ui/MessageBoxPrompt.h"
#include "engine/ModuleEngine.h"
#include "control/PlatformClock.h"
#include "control/Prompt.h"

class FormEngine {
public:
    // The engine's locks can throw.
    FormEngine(Platform& platform, ControlView& view)
        : enumeration(platform),
          copy(platform),
          engine(enumeration, copy),
          prompt(messageBoxes),
          clock(platform),
          control(engine, platform, view, prompt, clock) {}
    FormEngine(const FormEngine&) = delete;
    FormEngine& operator=(const FormEngine&) = delete;

    EngineControl& Control() { return control; }
    EnumerationModule& Enumeration() { return enumeration; }
    CopyModule& Copy() { return copy; }

    // The window that owns the message boxes of the questions.
    void SetPromptOwner(HWND owner) { messageBoxes.SetOwner(owner); }
    // A test's prompt instead of the message boxes; null: the boxes again.
    void SetPrompt(Prompt* replacement) { prompt.target = replacement; }

private:
    // Forwards the control's questions to a test's prompt or to message boxes.
    struct RelayPrompt : Prompt {
        explicit RelayPrompt(Prompt& fallback) : fallback(fallback) {}
        int Ask(const std::wstring& text, const std::wstring& caption, std::uint32_t style) override {
            return (target != nullptr ? *target : fallback).Ask(text, caption, style);
        }
        Prompt& fallback;
        Prompt* target = nullptr;
    };

    // Declared in this order so they are destroyed in reverse: the control
    // first, the copy (cancelled and joined) before the discovery (stopped
    // and joined).
    EnumerationModule enumeration;
    CopyModule copy;
    ModuleEngine engine;
    MessageBoxPrompt messageBoxes;
    RelayPrompt prompt;
    PlatformClock clock;
    EngineControl control;
};
