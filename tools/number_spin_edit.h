#pragma once

#include <cstdint>

#include <QSpinBox>

namespace vexlor {

// A number field of the Preview. Any text may stand in it, as in a plain edit: what it is worth
// is read from the text when it is needed (a text that is no number is worth 0), so a typed
// "none" or "abc" is not silently turned back into the value it replaced.
class NumberSpinEdit final : public QSpinBox {
    Q_OBJECT

  public:
    NumberSpinEdit(int maximum, int step, QWidget* parent);

    // The program's value, limited to the field's range.
    void SetFieldValue(std::int64_t value);
    // A text instead of a number, such as "none".
    void SetFieldText(const QString& text);
    // The text as it stands, whatever the user typed.
    QString FieldText() const;
    // The text read as the field's value: a whole decimal number limited to the range, else 0.
    int FieldValue() const;

  signals:
    // Every change of the text, by the user or by the program.
    void FieldTextChanged();

  protected:
    QValidator::State validate(QString& input, int& pos) const override;
    int valueFromText(const QString& text) const override;
};

}  // namespace vexlor
