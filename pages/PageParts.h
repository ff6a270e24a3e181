#pragma once
// Parts that every page family uses without deriving from another family: the exchanges
// with their failure policy, the one failure routine, the output hold frame, the
// extension row, the live-value cells, the view switch and the lists written to the unit.
#include "link/Task.h"

#include <QList>
#include <QString>
#include <QVector>
#include <functional>

class Page;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// ---- exchanges and what an empty reply means

// What an empty reply does to the page operation that asked: the failure routine with a
// message (and the operation ends), the operation ends without a word, or it goes on.
struct OnEmpty {
    enum Kind { Fail, End, Go } kind;
    const char *text = nullptr;  // Fail: the message
    const char *title = nullptr; // Fail: its title
    // Fail only while the unit counts as connected: after the person's own Disconnect the
    // operation just ends.
    bool whileConnected = false;
};
inline constexpr OnEmpty UploadError{OnEmpty::Fail, "Upload Error", "Upload"};
inline constexpr OnEmpty EndSilently{OnEmpty::End};
inline constexpr OnEmpty NoBranch{OnEmpty::Go};

// Thrown by the exchanges below to end the page operation under way; PageStep catches it.
struct PageStepEnded {};

// One page operation (Init, Download, a button), awaited: the progress window when it has a
// caption, and the end an exchange's policy asks for. The progress window is closed on every way
// out. The body is kept for as long as it runs.
using PageBody = std::function<co::Task<>()>;
co::Task<> PageStep(QString progressCaption, PageBody body);
co::Task<> PageStep(PageBody body);

// The one failure routine: progress window closed first, then the message, then the disconnect.
co::Task<> FailAndDisconnect(QString text, QString title);

// The retrying exchanges (count 3), each applying its policy to an empty result.
// Values come back whole (the part after the colon is the caller's to take). A write of a
// setting names the control its data came from: a Download's verification finds it again.
co::Task<QString> Read(OnEmpty onEmpty, QString group, QString item);
co::Task<QString> Inquire(OnEmpty onEmpty, QString item);
co::Task<QString> Write(OnEmpty onEmpty, QString group, QString item, QString data, const QWidget *from = nullptr);
co::Task<QString> WriteData(OnEmpty onEmpty, QString item, QString data, const QWidget *from = nullptr);

// ---- numbers of channels

// Channels 1..n a page's loops visit: ChCount, but never more than the page has rows.
int ChannelRows(int rows);
// Group text of channel ch: "1", "2" ... or, where a page sends two digits, "01", "02" ...
QString ChannelGroup(int ch, bool twoDigits = false);

// ---- lists exchanged as an index with the unit

// Selects the entry the unit reported; an index without an entry selects nothing, but is
// remembered so that a Download writes back what was read instead of -1.
void SelectFromUnit(QComboBox *list, int index);
// The index to write for a list: the selection, else the index last read; empty when neither.
QString IndexForUnit(const QComboBox *list);
// Selects an entry that did not come from the unit (a loaded file): the index last read no
// longer stands, so a list left without selection writes nothing.
void SelectFromFile(QComboBox *list, int index);
// Puts the entries into a list afresh with nothing selected and nothing remembered from the
// unit: until a read or a person chooses, the list writes nothing (Qt would select entry 0).
void RefillList(QComboBox *list, const QStringList &entries);

// ---- the output hold frame (item "14" of group "00")

class HoldFrame {
public:
    // netTypRule: the frame exists only on the network kinds that know the setting (0 to 5).
    HoldFrame(QWidget *parent, bool netTypRule);
    QGroupBox *frame() const { return Frame2; }
    bool applies() const;
    // Shows or hides the frame by the rule, then reads the setting; a page without the
    // setting reads nothing.
    co::Task<> read(OnEmpty onEmpty);
    // "0" for hold, "1" for clear.
    co::Task<> write(OnEmpty onEmpty = NoBranch);
    void setEditable(bool enable);

    QGroupBox *Frame2;
    QRadioButton *optKeepOn, *optKeepOff;

private:
    // A frame the unit's network kind lacks is no setting to compare.
    void showExchanged();
    bool m_netTypRule;
};

// ---- rows of point cells

// Point cells named cellName(0..count-1) under the digits of the 16-point caption, and a
// caption label over them at (x0, y0) that shows `caption` (cells it does not number still
// exist: a page hides them). `spoken` takes the cell number as %1.
struct CellRow {
    QLabel *index = nullptr;
    QVector<QLineEdit *> cells;
};
CellRow MakeCellRow(QWidget *parent, int x0, int y0, const QString &indexName, const QString &caption,
                    const QString &cellName, const QString &spoken, int count = 16);

// The head of a page of points: the model label lblV_Unit ("Type") and, with cells, the page's
// own point cells txtCData(0..cells-1) under their numbers (indexName, caption), lined up
// with the extension row of MakeExtensionRow.
struct PointHead {
    QWidget *area = nullptr;
    QLabel *lblV_Unit = nullptr;
    CellRow points;
};
PointHead MakePointHead(QWidget *parent, int cells, const QString &indexName, const QString &caption);

// ---- the extension module row (lblV_Ext, lblExtIndex(0), txtChData(0..15))

struct ExtensionRow {
    QWidget *area = nullptr;
    QLabel *lblV_Ext = nullptr;
    QVector<QLabel *> lblExtIndex;
    QVector<QLineEdit *> txtChData;
};
// The cells sit under the digits of the 16-point caption; InitExtCells and PaintHexBits
// find them by name.
ExtensionRow MakeExtensionRow(QWidget *parent);

// ---- live values

// How a live reply becomes a cell's text: by the live-value rule, or (on pages whose live
// values are shown as read) the part after the colon as it stands.
enum class LiveText { Rule, AsRead };
// The live-value rule: the part after the colon with its first dot removed, shown when it is
// numeric (an unchanged text is not set again); the value is published through the page as
// the given channel's (a channel of -1 is shown only). AsRead shows any text after the colon
// and publishes it when it is a number.
void ShowLive(Page *page, QLineEdit *cell, int channel, const QString &reply, LiveText text = LiveText::Rule);

// "CH 0" label and read-only value cell per channel, laid out perRow to a line.
struct LiveCells {
    QVector<QLabel *> labels;
    QVector<QLineEdit *> txtParData;
};
LiveCells MakeLiveCells(QWidget *parent, QGridLayout *grid, int rows, int perRow, int firstColumn);

// ---- views

// Views and the buttons that show them: the button of the view on show is the disabled one.
class ViewSwitch {
public:
    void add(QPushButton *button, QWidget *view);
    // Shows view i and hides the others; its button is disabled, the others enabled.
    void show(int i);
    // Every button disabled, the view on show stays (Init and Download openings).
    void lock();
    // Every button but the one of the view on show enabled.
    void unlock();
    int current() const { return m_current; }
    // Every button disabled (as lock() leaves them).
    bool locked() const;
    QPushButton *button(int i) const { return m_buttons.value(i); }
    QWidget *view(int i) const { return m_views.value(i); }
    int count() const { return m_views.size(); }

private:
    QList<QPushButton *> m_buttons;
    QList<QWidget *> m_views;
    int m_current = 0;
};

// The frame fraSetModel with the view buttons cmdSet1, cmdSet2 ... (or as buttonNames says),
// captioned in order; a click
// runs clicked(i) by the command rule (held back while a transaction waits).
QGroupBox *MakeViewBar(QWidget *parent, const QStringList &captions, QList<QPushButton *> &buttons,
                       const std::function<void(int)> &clicked, const QString &name = QStringLiteral("fraSetModel"),
                       const QStringList &buttonNames = {});

// ---- small layout helpers shared by the pages

// A hint label: smaller and greyed, it informs, it is not a value.
QLabel *MakeHint(QWidget *parent, const QString &name, const QString &text);
