// The modal forms MainForm opens: the completion form when a copy has
// finished, and the about form. Both are owned by the main window, also
// while it is hidden, so it takes no input while one of them is open.

#include "ui/MainForm.h"

#include "ui/AboutForm.h"
#include "ui/CompletionForm.h"

void MainForm::ShowCompletionForm() {
    CompletionForm form;
    form.Show(Handle());
}

void MainForm::ShowAboutForm() {
    AboutForm form;
    form.Show(Handle());
}

LRESULT MainForm::OnAbout(WORD, WORD, HWND, bool&) {
    if (aboutShower) aboutShower();
    return 0;
}

// The tick that enters Completed only asks for the form: it opens once that
// tick has run to its end, so the tick never goes on after the modal form
// with the fields it read before it.
void MainForm::ShowCompletion() {
    ::PostMessageW(Handle(), kShowCompletionMessage, 0, 0);
}

LRESULT MainForm::OnShowCompletion(UINT, WPARAM, LPARAM, bool&) {
    // Go pressed again before the form could open: the new copy runs on.
    if (Control().CurrentMode() != EngineMode::Completed) return 0;
    FlushRows();  // the final rows, before the form takes the loop
    if (completionShower) completionShower();
    completionClosed = true;  // the taskbar button lets the ended job go
    return 0;
}
