#pragma once
// Exceptions raised inside Scrutel. Messages are wide texts shown as they stand by the error box.
#include <exception>
#include <string>

namespace ui {

class Exception : public std::exception {
public:
    explicit Exception(std::wstring message) : message_(std::move(message)) {}
    const std::wstring& message() const noexcept { return message_; }
    const char* what() const noexcept override { return "Scrutel exception (see message())"; }

private:
    std::wstring message_;
};

// The silent abort: caught by whoever started the work, never shown to the user.
class EAbort : public Exception {
public:
    EAbort() : Exception(L"Operation aborted") {}
};

class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// Text of any exception, as the error box shows it (before the full-stop rule).
std::wstring exception_message(const std::exception& e);

}  // namespace ui
