#include "widgets/number_spin_edit.h"

#include <QEvent>
#include <QLineEdit>
#include <QLocale>

#include "craft/number_field.h"

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
    connect(this, &NumberSpinEdit::FieldTextChanged, this, &NumberSpinEdit::UpdateWarning);
    // Leaving the field puts the number it stands for in place of its text, with no text
    // signal: "abc" shows as 0 then, which is no longer worth a warning.
    connect(this, &QAbstractSpinBox::editingFinished, this, &NumberSpinEdit::UpdateWarning);
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

void NumberSpinEdit::SetDescription(const QString& description) {
    description_ = description;
    UpdateWarning();
}

QValidator::State NumberSpinEdit::validate(QString& /*input*/, int& /*pos*/) const {
    return QValidator::Acceptable;
}

int NumberSpinEdit::valueFromText(const QString& text) const {
    return FieldValueFromText(text.toStdString(), maximum());
}

void NumberSpinEdit::changeEvent(QEvent* event) {
    QSpinBox::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        UpdateWarning();
    }
}

// A disabled field is never written, so its text (such as "none") needs no warning.
void NumberSpinEdit::UpdateWarning() {
    const std::string warning =
        isEnabled() ? FieldTextWarning(FieldText().toStdString(), maximum()) : std::string();
    showsWarning_ = !warning.empty();
    // The spin box's own palette is never changed, so it keeps the usual colours.
    QPalette colours = palette();
    if (showsWarning_) {
        colours.setColor(QPalette::Text, Qt::red);
    }
    lineEdit()->setPalette(colours);
    setToolTip(showsWarning_ ? QString::fromStdString(warning) + QStringLiteral("\n") + description_
                             : description_);
}

}  // namespace vexlor
