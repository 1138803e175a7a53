#include "editors/windows/identifier_spin_box.h"

#include <QLineEdit>

#include "editors/library_editor_logic.h"

namespace vexlor {

IdentifierSpinBox::IdentifierSpinBox(QWidget* parent) : QSpinBox(parent) {}

void IdentifierSpinBox::SetMaxLength(int characters) {
    lineEdit()->setMaxLength(characters);
}

int IdentifierSpinBox::TypedValue() const {
    return valueFromText(cleanText());
}

int IdentifierSpinBox::SettledValue() {
    interpretText();
    return value();
}

QValidator::State IdentifierSpinBox::validate(QString& text, int&) const {
    for (const QChar character : text) {
        const bool digit = character >= QLatin1Char('0') && character <= QLatin1Char('9');
        if (!digit && character != QLatin1Char('-') && character != QLatin1Char('+')) {
            return QValidator::Invalid;
        }
    }
    const std::optional<int> number = ParseInteger(text.toStdString());
    return number && *number >= minimum() && *number <= maximum() ? QValidator::Acceptable
                                                                  : QValidator::Intermediate;
}

void IdentifierSpinBox::fixup(QString& text) const {
    text = textFromValue(valueFromText(text));
}

int IdentifierSpinBox::valueFromText(const QString& text) const {
    return SpinTextValue(text.toStdString(), minimum(), maximum());
}

}  // namespace vexlor
