// The two kinds of error that end an event handler: a plain error, which the application shows in
// its standard error box with the message, and the silent abort, which nobody shows.
#pragma once
#include <stdexcept>
#include <string>

namespace ui {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string &message) : std::runtime_error(message) {}
};

// A registry read of the wrong type, a missing number, a key that cannot be written.
class ERegistryException : public Exception {
public:
    explicit ERegistryException(const std::string &message) : Exception(message) {}
};

// The silent abort.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};

[[noreturn]] inline void Abort() { throw EAbort(); }

}  // namespace ui
