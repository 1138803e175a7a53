#pragma once

#include <optional>

#include <QFileDialog>

#include "platform/user_dialogs.h"

class QAbstractButton;
class QLineEdit;

namespace vexlor {

// The file dialog for a request, always Qt's own rather than the desktop's, so that what
// follows holds everywhere:
// - the type list shows each label exactly as given (Qt's parsing of the filters would fold
//   the two spaces of "HULLs  (hull*.dat)" into one);
// - where file names tell letter case apart, a typed name (with the default suffix added) that
//   differs from exactly one existing entry only in case names that entry, in its folders too:
//   "HULL" opens, or offers to replace, "HULL.DAT" instead of failing or making "HULL.dat".
class RequestFileDialog final : public QFileDialog {
  public:
    RequestFileDialog(const FileDialogRequest& request, AcceptMode mode, QWidget* parent);

    // The chosen path once the dialog was accepted.
    std::optional<QString> ChosenPath() const;

  protected:
    void accept() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ApplyFilters(const FileDialogRequest& request);
    void EnableAcceptForMatch();
    std::optional<QString> CaseMatchedPath() const;
    QString TypedFormOf(const QString& path) const;

    QLineEdit* nameEdit_ = nullptr;
    QAbstractButton* acceptButton_ = nullptr;
};

}  // namespace vexlor
