#pragma once

#include <QLocale>

namespace tb::test {

// Makes a locale the default for one scope and puts the one before back, also
// when a failed check leaves the test early.
class DefaultLocale {
public:
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(m_saved); }
    DefaultLocale(const DefaultLocale&) = delete;
    DefaultLocale& operator=(const DefaultLocale&) = delete;

private:
    QLocale m_saved; // the default at construction, taken before the new one is set
};

} // namespace tb::test
