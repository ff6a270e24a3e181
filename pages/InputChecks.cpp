#include "pages/InputChecks.h"
#include "core/Ui.h"
#include "link/TextRoutines.h"

#include <QLineEdit>

int CheckInteger(const QString &v) {
    if (const auto value = CheckIntegerValue(v)) return *value;
    ShowMessage("Please enter number.", AppTitle, MsgIcon::Information);
    return 0;
}

int CheckInteger(const QLineEdit *field) { return CheckInteger(field ? field->text() : QString()); }
