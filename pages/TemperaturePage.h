#pragma once
// The temperature input pages: the scaling page with a sensor type and a temperature unit per
// channel, range hints from the sensor's table, the module's burnout direction and a burnout
// indicator per channel. The three pages differ only in what their Sensor says.
#include "core/Globals.h"
#include "pages/ScalingPage.h"

class TemperaturePage : public ScalingPage {
    Q_OBJECT
public:
    static const QStringList UnitList; // "C", "F", "K": the unit index is the position

    struct Sensor {
        QStringList types;                          // type list; the position is the type index
        const std::array<RangeRec, 3> *ranges;      // hints by unit index, then type index
        QString typeLabel;                          // "lblTcType" / "lblRtdType"
        QString typeHead;                           // its head Label6
        QString listHead;                           // head Label12 of the type lists
        bool selectChannelReads = true;             // "04", "09", "03" read with the group selected
        bool typeAndUnitFirst = false;              // Download writes type and unit before the slots
        bool viewsOpenInInit = false;               // the second view can be shown while Init runs
    };

    TemperaturePage(const QString &name, int modelnum, const Sensor &sensor, QWidget *parent = nullptr);

    co::Task<> ReadingData() override;
    void configLoaded() override;

    QVector<QLineEdit *> Text1;
    QVector<QLabel *> lblTcType, lblRtdType;
    QVector<QLabel *> lblZTemp, lblFTemp;
    QVector<QComboBox *> cmbUserUnit;
    QGroupBox *Frame3 = nullptr;
    QVector<QLineEdit *> txtUserBout; // one element
    QLabel *Label5 = nullptr, *Label6 = nullptr;

private:
    // Colours Text1 by the burnout bits of the module status (item "04" of group "00").
    co::Task<> paintBurnout();
    ChannelItem unitItem();
    void showRangeHints(int k);
    void tighten();

    Sensor m_sensor;
    int m_unitIndex = 0; // the last channel's unit, for a channel that reports none
};
