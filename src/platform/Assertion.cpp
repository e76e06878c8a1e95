#include "platform/Assertion.h"

namespace vela {

EVelaAssertion::EVelaAssertion(const QString& text, const QString& unit)
    : std::runtime_error((text + " (" + unit + ")").toStdString()), fText(text), fUnit(unit) {}

}  // namespace vela
