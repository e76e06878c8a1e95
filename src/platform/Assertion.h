#pragma once
// The platform's assertion failure: a programming error that carries its text
// and the source unit. The program's top level reports it and goes on.
#include <QString>
#include <stdexcept>

namespace vela {

class EVelaAssertion : public std::runtime_error {
 public:
  EVelaAssertion(const QString& text, const QString& unit);
  const QString& Text() const { return fText; }
  const QString& Unit() const { return fUnit; }

 private:
  QString fText;
  QString fUnit;
};

// Raises EVelaAssertion(text, unit) unless condition holds.
inline void VelaAssert(bool condition, const QString& text, const QString& unit) {
  if (!condition) throw EVelaAssertion(text, unit);
}

}  // namespace vela
