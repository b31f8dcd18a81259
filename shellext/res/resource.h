#pragma once
// Resource identifiers of Marrowgate.dll: registrar scripts 101-103, menu bitmaps 202 and 204.

#define IDR_MARROWGATE_APPID 101
#define IDR_CONTEXT_MENU_EXTENSION 102
#define IDR_DRAG_AND_DROP_EXTENSION 103

#define IDB_MENU_VISTA 202
#define IDB_MENU_EARLIER 204
