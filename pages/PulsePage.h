#pragma once
// Family base of the pulse counter pages. A channel is a counter with a maximum ("Max"), a
// carry setting ("Carry"), a live count and a preset loaded at once by its button. The three
// pages differ only in what their declaration says: item codes, group texts, ranges, the
// preset's test and opening write, the points item and digits, and the pauses while monitoring.
#include <memory>
#include "pages/Page.h"
#include "pages/PageParts.h"

#include <QVector>
#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The named Init and Download of a pulse page.
#define VIREO_PULSE_STEPS(Name) VIREO_FAMILY_STEPS(Name, pulseInit, pulseDownload)

class PulsePage : public Page {
    Q_OBJECT
public:
    // Item code of channel c (1..): base + step (c - 1).
    struct ItemCode {
        int base = 0, step = 0;
        QString of(int c) const { return QString::number(base + step * (c - 1)); }
    };
    // Group text of channel c: the number ("1" ... "16"), two digits ("01" ...), or the module's "00".
    enum class Group { Number, TwoDigits, Module };
    struct Bound {
        double lo, hi;
    };
    // What the carry may be: 0 up to the channel's Max, within carryRange, or any number.
    enum class Carry { UpToMax, Within, Any };
    // A per-channel control on a view.
    struct Column {
        const char *name; // txtOver, txtFScale, txtNX, txtPreset or cmdPreset
        const char *head;
        int view;         // 0 "Setting 1", 1 "Setting 2"
        int width;        // at least; a wider head widens its column's boxes
    };

    struct Decl {
        int rows = 16;
        QList<Column> columns;
        int holdView = 1;
        ItemCode carryItem, maxItem, presetItem;
        bool itemsFromChParam = false; // the Carry / Max codes are taken from the channel's ChParam items
        Group initGroup = Group::Number, downloadGroup = Group::TwoDigits, presetGroup = Group::TwoDigits;
        Bound maxRange{0, 1000000000};
        Carry carry = Carry::UpToMax;
        Bound carryRange{0, 0};        // Carry::Within
        bool presetChecked = false;    // CheckData2 first, with the "Data Error" message when it fails
        bool presetWritesF = false;    // "F" to item "01" before the preset; no answer ends it silently
        QString pointsItem = "20";
        int pointDigits = 4;           // 4: 16 cells, 2: 8 cells
        int firstCountItem = 21;       // counts of channels 1..rows follow on
        int pauseAfterPoints = 0, pauseAfterExtension = 0, pauseAfterCount = 0; // ms
    };
    // The eight-channel pages: presets, counts and settings on the first view, the output hold
    // alone on the second; two point digits; every preset tested before it is sent.
    static Decl EightChannels();
    // The largest preset the unit takes.
    static constexpr double PresetMax = 4294967295.0;

    PulsePage(const QString &name, int modelnum, QWidget *parent = nullptr);

    co::Task<> ReadingData() override;
    bool CheckData() override;
    // The range test of one preset box: numeric and 0 to PresetMax, then in standard form.
    bool CheckData2(int index);
    void txt_able(bool enable) override;
    void cmdSet1_Click() override { m_views.show(0); }
    void cmdSet2_Click() override { m_views.show(1); }
    co::Task<> cmdPreset_Click(int index);

    QGroupBox *fraSetModel = nullptr;
    QPushButton *cmdSet1 = nullptr, *cmdSet2 = nullptr;
    QGroupBox *Frame1 = nullptr; // "Value"
    QLabel *lblV_Unit = nullptr;
    QVector<QLineEdit *> txtCData;
    QVector<QLabel *> lblExtIndex; // (0) over the extension cells, (1) over the points
    QLabel *lblV_Ext = nullptr;
    QVector<QLineEdit *> txtChData;
    QGroupBox *frmSet1 = nullptr, *frmSet2 = nullptr;
    QVector<QLineEdit *> txtOver, txtFScale, txtNX, txtPreset;
    QVector<QPushButton *> cmdPreset;
    QGroupBox *Frame2 = nullptr;
    QRadioButton *optKeepOn = nullptr, *optKeepOff = nullptr;

protected:
    void build(const Decl &d);
    co::Task<> pulseInit();
    co::Task<> pulseDownload();

private:
    void buildView(int view, QGroupBox *frame);
    QString groupOf(Group form, int c) const;
    QString carryItem(int c) const;
    QString maxItem(int c) const;
    int channelRows() const { return ChannelRows(m_decl.rows); }

    Decl m_decl;
    ViewSwitch m_views;
    std::unique_ptr<HoldFrame> m_hold;
};
