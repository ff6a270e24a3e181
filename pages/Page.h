#pragma once
// The page contract: what the main window and the file code may ask of every I/O page.
#include "core/PageContract.h"

#include <QString>
#include <QWidget>

namespace cfg {
struct Record;
}

class Page : public QWidget, public IoPage {
    Q_OBJECT
public:
    // Pages are placed at this size in the main window's client area.
    static constexpr int PageWidth = 643;
    static constexpr int PageHeight = 493;

    Page(const QString &name, int modelnum, QWidget *parent = nullptr);
    int modelNum() const { return m_modelnum; }
    QString pageName() const { return objectName(); }

    // Init, Download and ReadingData each call the page's own named operation (frmQB4_Init,
    // frmQB4_Download ...); CheckData is true on the pages without a check.
    virtual void txt_able(bool enable) = 0;
    virtual void cmdSet1_Click() {}
    virtual void cmdSet2_Click() {}

    // What Start, Stop and Disconnect do to the page; a few pages add steps around txt_able.
    void onStart() override { txt_able(false); }
    void onStop() override { txt_able(true); }
    void onDisconnect() override { txt_able(true); }

    // Configuration files: the page's record, declared with the page (null: none in this
    // version), and the read step's own calls once the record's controls are set.
    virtual const cfg::Record *configRecord() const { return nullptr; }
    virtual void configLoaded() {}

signals:
    // A live channel value as the number the unit sent, for whoever plots it (the trend window).
    void liveValue(int channel, double value);

private:
    int m_modelnum;
};

// The named Init and Download of a page (frmX_Init, frmX_Download) as the family's steps, and
// the contract's Init and Download calling them.
#define VIREO_FAMILY_STEPS(Name, initStep, downloadStep)                                                              \
    co::Task<> Name##_Init() { return initStep(); }                                                                    \
    co::Task<> Name##_Download() { return downloadStep(); }                                                            \
    co::Task<> Init() override { return Name##_Init(); }                                                               \
    co::Task<> Download() override { return Name##_Download(); }
