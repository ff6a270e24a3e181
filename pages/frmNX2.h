#pragma once
// The two-channel positioning page: a position counter or a speed meter per the unit's
// conversion data, with alarms, latch and reset settings and the request buttons.
#include "pages/Page.h"
#include "pages/PageParts.h"

#include <QHash>
#include <QVector>

class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmNX2 : public Page {
    Q_OBJECT
  public:
    explicit frmNX2(QWidget *parent = nullptr);

    co::Task<> frmNX2_Init();
    co::Task<> frmNX2_Download();
    co::Task<> Init() override { return frmNX2_Init(); }
    co::Task<> Download() override { return frmNX2_Download(); }
    const cfg::Record *configRecord() const override;
    void configLoaded() override;
    co::Task<> ReadingData() override;
    bool CheckData() override;
    QString checkDetail() const override;
    void txt_able(bool enable) override;

    // Shows the position or the speed set as DispSpeed says (the file loader calls it too).
    void dtype_change();
    // Monitoring keeps the "Setting" view up with every view button locked.
    void cmdset_disable();
    void cmdset_enable();
    void onStart() override;
    void onStop() override;
    void onDisconnect() override;

    void cmdSet1_Click() override;
    void cmdSet3_Click();
    void cmdSet4_Click();
    void Command9_Click();
    // Command1_Click .. Command8_Click: n is 1 to 8.
    co::Task<> Command_Click(int n);

    // Element k (0 or 1) of a per-channel control array ("txtDO", 1 is "txtDO(1)").
    QLineEdit *box(const QString &name, int k) const;

    QGroupBox *fraSetModel = nullptr;
    QPushButton *cmdSet1 = nullptr, *cmdSet3 = nullptr, *cmdSet4 = nullptr, *Command9 = nullptr;
    QGroupBox *frmSet1 = nullptr, *frmSet3 = nullptr, *frmSet4 = nullptr;
    QVector<QLineEdit *> txtTM;      // 0..6; 5 is not used
    QVector<QPushButton *> Commands; // Command1 .. Command8 at 0..7

  private:
    void buildView(int view, QGroupBox *frame);
    void addToSet(int set, QWidget *w);

    ViewSwitch m_views;
    QList<QGridLayout *> m_grids;
    QList<QLabel *> m_captions;
    QHash<QString, QVector<QLineEdit *>> m_boxes;
    QHash<int, QList<QWidget *>> m_sets; // the position and the speed set, with their labels
};
