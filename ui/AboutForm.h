#pragma once
// The about form: the program's name and version and a link to its web page.

#include "ui/InfoForm.h"

class AboutForm : public InfoForm<AboutForm> {
public:
    enum { IDD = IDD_ABOUT };

    BEGIN_MSG_MAP(AboutForm)
        CHAIN_MSG_MAP(InfoForm<AboutForm>)
    END_MSG_MAP()
};
