#pragma once
// The form that announces a finished copy, with the information sound.

#include "ui/InfoForm.h"

class CompletionForm : public InfoForm<CompletionForm> {
public:
    enum { IDD = IDD_COMPLETION };

    BEGIN_MSG_MAP(CompletionForm)
        CHAIN_MSG_MAP(InfoForm<CompletionForm>)
    END_MSG_MAP()

    void OnOpened() { ::MessageBeep(MB_ICONASTERISK); }
};
