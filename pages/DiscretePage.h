#pragma once
// Family base of the discrete I/O pages: point cells painted from the unit's hex reply, or an
// "ON" / "OFF" text pair (DI, DO) per channel; the output hold frame; the extension row. A page
// declares which of these it has; its own steps (the reply delay timer, the output modes) are
// code in the page, composed from the parts here. None of these pages has a CheckData.
#include <memory>
#include "pages/Page.h"
#include "pages/PageParts.h"

#include <QColor>
#include <QVector>

class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QRadioButton;

// The named Init and Download of a discrete page whose steps are all in its declaration.
#define VIREO_DISCRETE_STEPS(Name) VIREO_FAMILY_STEPS(Name, discreteInit, discreteDownload)

class DiscretePage : public Page {
    Q_OBJECT
public:
    struct Decl {
        int cells = 0;             // own point cells shown (txtCData); 16 exist whenever there are any
        QString cellCaption = {};  // the point numbers over them
        bool extension = false;    // the extension row (InitExtCells; its points read while monitoring)
        bool hold = false;         // the output hold frame, its item "14" read unconditionally
        QString stateFrame = {};   // DI/DO texts per channel in a frame of this caption; empty: none
        QString channelCaption = {}; // their channel labels, %1 the channel from 0 ("CH 0", "CH: 0")
    };
    static constexpr int StateRows = 8;

    DiscretePage(const QString &name, int modelnum, QWidget *parent = nullptr);

    bool hasCheckData() const override { return false; }
    // The own points (item "21") and, with an extension row, the extension points.
    co::Task<> ReadingData() override;
    // The hold pair and the controls a page adds with addEditable.
    void txt_able(bool enable) override;

    QGroupBox *Frame1 = nullptr; // "Value" (or the DI/DO frame)
    QLabel *lblV_Unit = nullptr;
    QVector<QLineEdit *> txtCData;
    QVector<QLabel *> lblExtIndex; // (0) over the extension cells, or over the own cells without them
    QLabel *lblV_Ext = nullptr;
    QVector<QLineEdit *> txtChData;
    QGroupBox *Frame2 = nullptr;
    QRadioButton *optKeepOn = nullptr, *optKeepOff = nullptr;
    // Index 1..8 as the controls are numbered; element 0 is empty.
    QVector<QLineEdit *> txtDICh, txtDOCh;
    QVector<QLabel *> lblChNo;
    QVector<QLabel *> lblDataTitle;

protected:
    void build(const Decl &d);
    const Decl &decl() const { return m_decl; }
    // The row under the points where a page puts frames of its own settings.
    QHBoxLayout *settingsRow() const { return m_settings; }
    void addEditable(QWidget *control) { m_editable.append(control); }

    // The declared steps: Init shows the model and prepares the extension row, then reads the
    // output hold (an unanswered read ends Init); Download writes the output hold.
    co::Task<> discreteInit();
    co::Task<> discreteDownload();
    // Parts of those steps, for pages with steps of their own (inside a PageStep).
    co::Task<> showModel();
    co::Task<> readHold(OnEmpty onEmpty = EndSilently);
    co::Task<> writeHold(OnEmpty onEmpty = NoBranch);
    // Item "21" of group "00": four hex digits painted onto the own cells.
    co::Task<> readPoints();
    co::Task<> readExtension();
    // Channel i (1..8): its DI and DO texts, "ON" in `on`, "OFF" in `off`; `redraw` paints a
    // changed box at once instead of when the pass returns to the event loop.
    void showState(int i, bool diOn, bool doOn, const QColor &on, const QColor &off, bool redraw = false);

    std::unique_ptr<HoldFrame> m_hold;

private:
    void buildStates(QWidget *frame);

    Decl m_decl;
    QHBoxLayout *m_settings = nullptr;
    QList<QWidget *> m_editable;
};
