#pragma once

#include <stdexcept>

namespace tb {

// The run-time errors a handler can stop with. Each one names itself to the
// user; the program goes on running after the report.
enum class ErrorKind {
    Overflow,
    DivisionByZero,
    InvalidOperation,
    InvalidArgument,
};

[[nodiscard]] const char* errorName(ErrorKind kind) noexcept;

class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(ErrorKind kind);

    [[nodiscard]] ErrorKind kind() const noexcept { return m_kind; }

private:
    ErrorKind m_kind;
};

// Out of line and cold, so the checks on hot paths stay a compare and a branch.
[[noreturn]] void raiseError(ErrorKind kind);

} // namespace tb
