#include "platform/PlatformTypes.h"

#include "platform/FileCalls.h"
#include "platform/ListingCalls.h"
#include "platform/ThreadCalls.h"

void FileHandleTraits::Close(FileCalls& files, NativeHandle value) noexcept { files.CloseFile(value); }

void FindHandleTraits::Close(ListingCalls& listing, NativeHandle value) noexcept { listing.CloseFind(value); }

void ThreadHandleTraits::Close(ThreadCalls& threads, NativeHandle value) noexcept { threads.JoinThread(value); }
