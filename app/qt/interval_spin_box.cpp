#include "app/qt/interval_spin_box.h"

#include <QLineEdit>

#include "app/interval_box.h"

namespace quorvane {

IntervalSpinBox::IntervalSpinBox(QWidget* parent, Handlers handlers)
    : QAbstractSpinBox(parent), handlers_(std::move(handlers)) {
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
  setKeyboardTracking(true);
  // Only the user's edits are reported; the logic's own texts arrive through ShowText.
  connect(lineEdit(), &QLineEdit::textEdited,
          [this](const QString& text) { handlers_.typed(text); });
}

void IntervalSpinBox::ShowText(const QString& text) {
  if (lineEdit()->text() != text) {
    lineEdit()->setText(text);
  }
}

void IntervalSpinBox::stepBy(int steps) {
  handlers_.step(steps);
}

QValidator::State IntervalSpinBox::validate(QString& input, int&) const {
  for (const QChar c : input) {
    if (c.unicode() > 127 || !IntervalBox::AcceptsCharacter(static_cast<char>(c.unicode()))) {
      return QValidator::Invalid;
    }
  }
  return QValidator::Acceptable;
}

void IntervalSpinBox::focusOutEvent(QFocusEvent* event) {
  QAbstractSpinBox::focusOutEvent(event);
  handlers_.focus_lost();
}

}  // namespace quorvane
