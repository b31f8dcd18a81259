#include "engine/BackgroundJob.h"

#include <exception>

#include "core/Diagnostics.h"

void BackgroundJob::StartThread() {
    ThreadHandle created;
    const std::uint32_t error = platform.Threads().StartThread(&BackgroundJob::ThreadMain, this, created);
    if (error != ErrorCode::kSuccess) Diagnostics::Raise(L"CreateThread failed.", static_cast<int>(error));
    thread = std::move(created);
}

std::uint32_t BackgroundJob::ThreadMain(void* job) {
    auto* self = static_cast<BackgroundJob*>(job);
    try {
        self->Run();
    } catch (const std::exception&) {
        // Its diagnostic line is written; the job says how it ends.
        self->failed = true;
        self->platform.Threads().KeepAwake(false);
        self->Failed();
    }
    return 0;
}
