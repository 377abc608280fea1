#pragma once

#include <QString>

#include <exception>

namespace tb {

// The name a message gives an error that stopped a handler: a run-time
// error names itself ("Overflow"), anything else is named as well as it can
// be, so that nothing thrown is ever left to cross the event loop.
[[nodiscard]] QString exceptionText(const std::exception_ptr& error);

} // namespace tb
