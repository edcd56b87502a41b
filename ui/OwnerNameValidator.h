// What the owner field accepts: one line of at most 180 bytes of UTF-8.
#pragma once

#include <QValidator>

class OwnerNameValidator : public QValidator {
 public:
  static constexpr int kMaxBytes = 180;

  using QValidator::QValidator;

  // Refuses a newline anywhere and any text longer than kMaxBytes.
  State validate(QString& input, int& pos) const override;

  // A name as the camera reported it, made acceptable: newlines dropped, then cut to
  // kMaxBytes without splitting a character.
  static QString Fit(const QString& name);
};
