#include "tools/number_spin_edit.h"

#include <QLineEdit>
#include <QLocale>

#include "tools/craft/number_field.h"

namespace vexlor {

NumberSpinEdit::NumberSpinEdit(int maximum, int step, QWidget* parent) : QSpinBox(parent) {
    // Digits the text reading understands, whatever the user's locale would show.
    setLocale(QLocale::c());
    setRange(0, maximum);
    setSingleStep(step);
    // Typing reaches the edit; arrows and keys that step change the value while the spin box
    // keeps the edit quiet. Either is a change.
    connect(lineEdit(), &QLineEdit::textChanged, this, &NumberSpinEdit::FieldTextChanged);
    connect(this, &QSpinBox::textChanged, this, &NumberSpinEdit::FieldTextChanged);
}

void NumberSpinEdit::SetFieldValue(std::int64_t value) {
    const int limited = LimitToField(value, maximum());
    setValue(limited);
    // setValue leaves a text alone whose value it already holds, such as a typed "0100".
    lineEdit()->setText(textFromValue(limited));
}

void NumberSpinEdit::SetFieldText(const QString& text) {
    lineEdit()->setText(text);
}

QString NumberSpinEdit::FieldText() const {
    return lineEdit()->text();
}

int NumberSpinEdit::FieldValue() const {
    return FieldValueFromText(FieldText().toStdString(), maximum());
}

QValidator::State NumberSpinEdit::validate(QString& /*input*/, int& /*pos*/) const {
    return QValidator::Acceptable;
}

int NumberSpinEdit::valueFromText(const QString& text) const {
    return FieldValueFromText(text.toStdString(), maximum());
}

}  // namespace vexlor
