#pragma once
// The program's one exception type. Every throw site constructs it with an
// empty message: the failure itself is described by the diagnostic line the
// site composed before throwing (see Diagnostics.h).

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::wstring message);
    Exception(const Exception& other);
    Exception& operator=(const Exception& other);
    ~Exception() override;

    // A copy of the message text.
    virtual std::wstring Message() const;

private:
    std::wstring message;
};
