#pragma once
#include "netpages/NetPage.h"

#include <array>

class QLabel;

// HLS and FLEX NETWORK base units: the averaging choices follow the module's SubTyp.
class frmFlexnet final : public NetPage {
    Q_OBJECT
public:
    explicit frmFlexnet(QWidget *parent = nullptr);

    QGroupBox *Frame1 = nullptr;
    QLineEdit *txtAve = nullptr;
    // Label3 .. Label8
    std::array<QLabel *, 6> Labels{};

protected:
    QList<NetField> fields() const override;

private:
    // Shows the time-out, then lays out the averaging frame for the module's SubTyp.
    void showTimeout(const QString &reply) const;
};
