#pragma once
// Torvane's version and product texts, shared by the version resource and
// the code. Only preprocessor definitions: the resource compiler reads it.

#define TORVANE_VERSION_MAJOR 1
#define TORVANE_VERSION_MINOR 89
#define TORVANE_VERSION_TEXT "1.89"
#define TORVANE_VERSION_TEXT_W L"1.89"
#define TORVANE_FILE_VERSION TORVANE_VERSION_MAJOR, TORVANE_VERSION_MINOR, 0, 0

#define TORVANE_PRODUCT_NAME "Torvane"
#define TORVANE_COMPANY_NAME "Norvask"
#define TORVANE_WEB_ADDRESS "https://norvask.example/torvane"
#define TORVANE_WEB_ADDRESS_W L"https://norvask.example/torvane"
