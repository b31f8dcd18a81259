#pragma once
// The fixed message and list image of each result code. Images index the
// result list's image list (icons 214 to 223 as entries 0 to 9).

#include "engine/ResultCode.h"

// "Access denied listing folder contents." ...; unknown codes give
// "An unspecified error occured."
const wchar_t* ResultMessage(ResultCode code);

// The image for a row; pathIsFolder matters for codes 9, 10 and unknown codes.
int ResultImage(ResultCode code, bool pathIsFolder);
