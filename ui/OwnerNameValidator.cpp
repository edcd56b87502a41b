#include "ui/OwnerNameValidator.h"

QValidator::State OwnerNameValidator::validate(QString& input, int&) const {
  if (input.contains(QLatin1Char('\n')) || input.toUtf8().size() > kMaxBytes) return Invalid;
  return Acceptable;
}

QString OwnerNameValidator::Fit(const QString& name) {
  QString fitted = name;
  fitted.remove(QLatin1Char('\n'));
  // Whole characters only: a surrogate pair goes or stays as one.
  while (fitted.toUtf8().size() > kMaxBytes) {
    fitted.chop(fitted.size() >= 2 && fitted.back().isLowSurrogate() ? 2 : 1);
  }
  return fitted;
}
