#pragma once

#include <QAbstractSpinBox>
#include <functional>

namespace quorvane {

// The interval box's look: a spin box whose text, arrows and focus changes are handed to the
// toolkit-free IntervalBox logic, which decides the value and the text shown.
class IntervalSpinBox final : public QAbstractSpinBox {
 public:
  struct Handlers {
    std::function<void(int delta)> step;
    std::function<void(const QString& text)> typed;
    std::function<void()> focus_lost;
  };

  IntervalSpinBox(QWidget* parent, Handlers handlers);
  // Shows text without reporting it as typed.
  void ShowText(const QString& text);

  void stepBy(int steps) override;

 protected:
  StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
  QValidator::State validate(QString& input, int& pos) const override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  Handlers handlers_;
};

}  // namespace quorvane
