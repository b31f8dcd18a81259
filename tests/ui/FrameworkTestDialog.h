#pragma once
// Ids of the framework tests' dialog (FrameworkTestDialog.rc).

#define IDD_FRAMEWORK_TEST 900
#define IDC_TEST_EDIT 901
#define IDC_TEST_BUTTON 902
#define IDC_TEST_LIST 903
#define IDC_TEST_STATIC 904
#define IDC_TEST_LINK 905
