#include "core/Exception.h"

#include <utility>

Exception::Exception(std::wstring message) : std::exception(), message(std::move(message)) {}

Exception::Exception(const Exception& other) : std::exception(other), message(other.message) {}

Exception& Exception::operator=(const Exception& other) {
    std::exception::operator=(other);
    message = other.message;
    return *this;
}

Exception::~Exception() = default;

std::wstring Exception::Message() const { return message; }
