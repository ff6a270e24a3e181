#pragma once
// The load cell pages: the scaling slots of an input page with an editable load ratio, the
// calibration commands of "Setting 1" and the monitor output and gain adjustment group of
// "Setting 2" (the new-firmware group, switched by txt_able2 and shown by txt_visible2).
// frmGZ2 and frmHLSGZ2 differ in what their Init reads and what they let be seen.
#include "pages/ScalingPage.h"

class LoadCellPage : public ScalingPage {
    Q_OBJECT
public:
    // txt_able also empties the calibration results, whatever it is told.
    void txt_able(bool enable) override;
    void txt_able2(bool enable);
    void txt_visible2(bool visible);
    void onStart() override;
    void onStop() override;
    void onDisconnect() override;

    QVector<QLineEdit *> txtParData2, txtAdjscale, txtAdjGain;
    QPushButton *cmdAutoZero0 = nullptr, *cmdAutoZero1 = nullptr, *cmdZero0 = nullptr, *cmdZero1 = nullptr;
    QPushButton *cmdSpan0 = nullptr, *cmdSpan1 = nullptr, *Command1 = nullptr, *Command2 = nullptr;
    QPushButton *cmdApplyCH0 = nullptr, *cmdApplyCH1 = nullptr; // Auto Scale; not on every unit
    QPushButton *Command3 = nullptr, *Command4 = nullptr, *Command5 = nullptr, *Command6 = nullptr;
    QPushButton *cmdGainUPCH0 = nullptr, *cmdGainUPCH1 = nullptr, *cmdGainDOWNCH0 = nullptr,
                *cmdGainDOWNCH1 = nullptr, *cmdGainApplyCH0 = nullptr, *cmdGainApplyCH1 = nullptr;
    QLabel *lblMode = nullptr; // not on every unit
    QLabel *lblAdj = nullptr, *lblAdjgain = nullptr, *Label5 = nullptr, *Label6 = nullptr;

protected:
    LoadCellPage(const QString &name, int modelnum, QWidget *parent);
    // Two channels, slots 1 to 5 (the fifth the load ratio) and their checks.
    static Decl LoadCellDecl();
    // A channel item read with its group selected into a box of "Setting 2"; no reply is an Upload Error.
    ChannelItem readInto(const QString &item, QVector<QLineEdit *> LoadCellPage::*boxes);
    // Builds the page; autoScale: the unit has the filter mode and the Auto Scale commands.
    void buildLoadCell(const Decl &d, bool autoScale);
    co::Task<> loadCellDownload();
    void setViewButtonsVisible(bool visible);

private:
    void buildCalibration();
    void buildAdjustment(bool autoScale);
    QPushButton *addButton(QWidget *parent, const QString &name, const QString &caption, int k);
    co::Task<> startCommand(int k);
    co::Task<> calibrate(int k, QString item, QString data);
    co::Task<bool> adjust(int k, PageBody steps);
    co::Task<> autoScale(int k);
    co::Task<> monitorOutput(int k);
    co::Task<> cancelOutput(int k);
    // "U", "D" or the typed value; APPLY takes the text at the time of the press.
    co::Task<> adjustGain(int k, QString data);

    QList<QWidget *> m_group2;       // what txt_visible2 shows and hides
    QList<QPushButton *> m_buttons2; // what txt_able2 switches besides the channels' boxes
};
