#pragma once

#include <cstdint>

#include <QSpinBox>

namespace vexlor {

// A number field of the Preview. Any text may stand in it, as in a plain edit: what it is worth
// is read from the text when it is needed (a text that is no number is worth 0), so a typed
// "none" or "abc" is not silently turned back into the value it replaced. While it is enabled, a
// text that is not worth what it says is shown in red, and its tooltip says what Save will write.
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

    // The tooltip that the field shows while its text is worth what it says.
    void SetDescription(const QString& description);
    // The red text and the warning in the tooltip are showing.
    bool ShowsWarning() const { return showsWarning_; }

  signals:
    // Every change of the text, by the user or by the program.
    void FieldTextChanged();

  protected:
    QValidator::State validate(QString& input, int& pos) const override;
    int valueFromText(const QString& text) const override;
    void changeEvent(QEvent* event) override;

  private:
    void UpdateWarning();

    QString description_;
    bool showsWarning_ = false;
};

}  // namespace vexlor
