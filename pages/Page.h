#pragma once
// The page contract: what the main window and the file code may ask of every I/O page.
#include <QString>
#include <QWidget>

namespace cfg {
struct Record;
}

class Page : public QWidget {
    Q_OBJECT
public:
    // Pages are placed at this size in the main window's client area.
    static constexpr int PageWidth = 643;
    static constexpr int PageHeight = 493;

    Page(const QString &name, int modelnum, QWidget *parent = nullptr);
    int modelNum() const { return m_modelnum; }
    QString pageName() const { return objectName(); }

    // Each calls the page's own named operation (frmQB4_Init, frmQB4_Download ...).
    virtual void Init() = 0;
    virtual void Download() = 0;
    virtual void ReadingData() = 0;
    // Pages without a check count as valid.
    virtual bool hasCheckData() const { return true; }
    virtual bool CheckData() { return true; }
    virtual void txt_able(bool enable) = 0;
    virtual void cmdSet1_Click() {}
    virtual void cmdSet2_Click() {}

    // What Start, Stop and Disconnect do to the page; a few pages add steps around txt_able.
    virtual void onStart() { txt_able(false); }
    virtual void onStop() { txt_able(true); }
    virtual void onDisconnect() { txt_able(true); }

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
    void Name##_Init() { initStep(); }                                                                                 \
    void Name##_Download() { downloadStep(); }                                                                         \
    void Init() override { Name##_Init(); }                                                                            \
    void Download() override { Name##_Download(); }
