#pragma once

#include <QSpinBox>

namespace vexlor {

// The field that holds the number for "<- Add". Whatever text the user leaves in it
// becomes the number that the text stands for, and the field shows that number at once: a text
// that is no number reads as the minimum, a number beyond the range as the range's nearer end.
// A plain spin box would go back to its previous value instead, so that "<- Add" could write a
// number other than the one tested and shown while the user typed.
class IdentifierSpinBox final : public QSpinBox {
    Q_OBJECT

  public:
    explicit IdentifierSpinBox(QWidget* parent = nullptr);

    void SetMaxLength(int characters);
    // The number the text stands for now, while the user may still be typing.
    int TypedValue() const;
    // Ends the edit as leaving the field does: the field shows TypedValue(), which value() is.
    int SettledValue();

  protected:
    // Digits and signs only; a number outside the range can be typed on the way to another.
    QValidator::State validate(QString& text, int& position) const override;
    void fixup(QString& text) const override;
    int valueFromText(const QString& text) const override;
};

}  // namespace vexlor
