#pragma once
// Family base of the pages whose channels carry six scaling slots (analog input,
// temperature, analog output, load cell): the common controls and the steps they share.
#include "pages/Page.h"

#include <QStringList>
#include <QVector>
#include <array>
#include <optional>

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class ScalingPage : public Page {
    Q_OBJECT
public:
    // What differs between the family's pages in their look.
    struct Layout {
        int rows = 4;                       // channel rows the page has
        bool views = true;                  // has the two view buttons
        QString set1Caption = "Setting 1";
        QString set2Caption = "Setting 2";
        bool extDisplay = true;
        bool outputHold = true;
        QStringList heads = {"Zero scale", "Full scale", "Bias", "Gain", "Zero base", "Full base"};
        // Range hints under the four editable columns; an empty text hides the hint.
        QStringList hints = {"-32000 to 32000", "-32000 to 32000", "-320.00 to 320.00", "-3.2000 to 3.2000"};
        bool rangeColumn = true;            // cmbUserRange on the second view
        QString rangeHead = "Range";
        QStringList rangeList;
    };

    ScalingPage(const QString &name, int modelnum, const Layout &layout, QWidget *parent = nullptr);

    void cmdSet1_Click() override;
    void cmdSet2_Click() override;

    // Controls, named as the file code and the tests know them.
    QGroupBox *fraSetModel = nullptr;
    QPushButton *cmdSet1 = nullptr, *cmdSet2 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QVector<QLineEdit *> txtParData;
    QLabel *lblV_Unit = nullptr;
    QVector<QLineEdit *> txtChData;
    QVector<QLabel *> lblExtIndex;
    QLabel *lblV_Ext = nullptr;
    QGroupBox *frmSet1 = nullptr, *frmSet2 = nullptr;
    QVector<QLineEdit *> txtZScale, txtFScale, txtBias, txtGain, txtZBase, txtFBase;
    QVector<QLabel *> lblZBase_Unit, lblFBase_Unit;
    QVector<QLabel *> lblZScale, lblFScale, lblBias, lblGain;
    QLabel *lblZScale01 = nullptr, *lblFScale01 = nullptr, *lblBias01 = nullptr, *lblGain01 = nullptr,
           *lblZBase01 = nullptr, *lblFBase01 = nullptr;
    QLabel *Label12 = nullptr;
    QVector<QComboBox *> cmbUserRange;
    QGroupBox *Frame2 = nullptr;
    QRadioButton *optKeepOn = nullptr, *optKeepOff = nullptr;

protected:
    const Layout &layout() const { return m_layout; }
    // Channels 1..n the loops visit: never more than the page has rows.
    int channelRows() const;
    // The six slot cells of a row, slot 1..6.
    QLineEdit *slotCell(int slot, int k) const;

    // Init's opening (inside the page's progress scope): first view, editing off, module type, extension cells.
    void beginInit();
    // Init's closing: second view button on, editing on.
    void endInit();
    // Download's opening: editing and both view buttons off.
    void beginDownload();

    // Switch range: "09" of group "00" ("08" on an HLS unit with a sub-type); nullopt when unanswered.
    std::optional<int> readSwitchRange();
    // Output hold of item "14" where the network has it; false when the read went unanswered.
    bool readOutputHold();
    void writeOutputHold();
    // Reads the six slots of channel ch into ChParam; false on an empty reply.
    bool readSlots(int ch);
    void showSlots(int k);
    // Writes the slots given (1..6) of channel ch: the first with the group selected.
    void writeSlots(int ch, const QList<int> &slotList);
    // A range index from a reply: the first `chars` characters after the colon.
    static int rangeIndexOf(const QString &reply, int chars);
    // Selects a list entry; an index without an entry selects nothing.
    static void selectRange(QComboBox *c, int index);
    void fillRangeList(int k);
    void setUnitLabels(int k, const QString &unit);
    // "Upload Error" / "Upload", then the link goes down.
    static void uploadError();
    // Live values of items first, first+1, ... into txtParData(0..count-1).
    void readLiveValues(int firstItem, int count);
    void readExtension();
    // The live-value rule: the part after the colon, first dot removed, shown when numeric.
    void showLive(int channel, const QString &reply);

    // Range checks shared by the family. Each returns false at the first failing channel.
    struct Bound {
        QVector<QLineEdit *> *cells;
        double lo, hi;
        bool roundToInteger = false; // rounded halves-to-even and written back
    };
    bool allNumeric(const QList<QVector<QLineEdit *> *> &columns) const;
    bool checkBounds(const QList<Bound> &bounds);

    void setEditable(const QList<QVector<QLineEdit *> *> &columns, bool enable);
    void setComboEditable(const QVector<QComboBox *> &combos, bool enable);
    void setHoldEditable(bool enable);

private:
    void buildValueFrame();
    void buildViews();
    void buildSet1();
    void buildSet2();
    Layout m_layout;
    // The six slot columns in slot order.
    std::array<QVector<QLineEdit *> *, 6> slotColumns();
};
