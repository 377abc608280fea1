#include "RuntimeError.h"

namespace tb {

const char* errorName(ErrorKind kind) noexcept
{
    switch (kind) {
    case ErrorKind::Overflow:
        return "Overflow";
    case ErrorKind::DivisionByZero:
        return "Division by zero";
    case ErrorKind::InvalidOperation:
        return "Invalid floating-point operation";
    case ErrorKind::InvalidArgument:
        return "Invalid argument";
    }
    return "Run-time error";
}

RuntimeError::RuntimeError(ErrorKind kind)
    : std::runtime_error(errorName(kind))
    , m_kind(kind)
{
}

void raiseError(ErrorKind kind)
{
    throw RuntimeError(kind);
}

} // namespace tb
