#include "ExceptionText.h"

#include "RuntimeError.h"

#include <new>

namespace tb {

QString exceptionText(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const RuntimeError& e) {
        return QString::fromUtf8(e.what());
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Out of memory");
    } catch (const std::exception& e) {
        return QStringLiteral("Unexpected error: %1").arg(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return QStringLiteral("Unexpected error");
    }
}

} // namespace tb
