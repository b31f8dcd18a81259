#include "control/ResultMessages.h"

const wchar_t* ResultMessage(ResultCode code) {
    switch (code) {
        case ResultCode::AccessDeniedListing: return L"Access denied listing folder contents.";
        case ResultCode::AccessDeniedSource: return L"Access denied opening source file.";
        case ResultCode::AccessDeniedTarget: return L"Access denied opening target file.";
        case ResultCode::FileLocked: return L"File is locked by another process.";
        case ResultCode::ListingFailed: return L"Folder contents could not be listed.";
        case ResultCode::PartialCopy: return L"Partial copy detected.";
        case ResultCode::DeleteFailed: return L"File could not be deleted.";
        case ResultCode::PathTooLong: return L"Resulting path is too long.";
        case ResultCode::AttributesNotRead: return L"Attributes could not be read.";
        case ResultCode::AttributesNotWritten: return L"Attributes could not be written.";
        case ResultCode::SameNameCopied: return L"A file of the same name was already copied in this job.";
        case ResultCode::LinkNotCopied: return L"Symbolic link or junction was not copied.";
        default: return L"An unspecified error occured.";
    }
}

int ResultImage(ResultCode code, bool pathIsFolder) {
    switch (code) {
        case ResultCode::AccessDeniedListing: return 3;
        case ResultCode::AccessDeniedSource:
        case ResultCode::AccessDeniedTarget:
        case ResultCode::FileLocked: return 2;
        case ResultCode::ListingFailed: return 7;
        case ResultCode::PartialCopy:
        case ResultCode::DeleteFailed:
        case ResultCode::PathTooLong:
        case ResultCode::SameNameCopied: return 6;
        case ResultCode::AttributesNotRead:
        case ResultCode::AttributesNotWritten: return pathIsFolder ? 5 : 4;
        default: return pathIsFolder ? 7 : 6;
    }
}
