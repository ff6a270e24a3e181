#pragma once
// Family base of the pages whose channels carry scaling slots (analog input, temperature,
// analog output, load cell). A page declares its columns, rows, views, lists, items and
// checks; this base builds the page from the declaration and derives Init, Download,
// CheckData, txt_able and ReadingData from it. A page keeps code only for its own steps.
#include <memory>
#include "pages/Page.h"
#include "pages/PageParts.h"

#include <QHash>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

// The named Init and Download of a page whose steps are all in its declaration.
#define VIREO_DECLARED_STEPS(Name)                                                                                     \
    co::Task<> Name##_Init() { return scalingInit(); }                                                                 \
    co::Task<> Name##_Download() { return scalingDownload(); }                                                         \
    co::Task<> Init() override { return Name##_Init(); }                                                               \
    co::Task<> Download() override { return Name##_Download(); }

class ScalingPage : public Page {
    Q_OBJECT
public:
    // Where a control sits: the "Value" frame, one of the views, or the view of its row.
    enum class Place { Value, View1, View2, RowView };
    enum class Kind { Text, List, Label, Button };
    // Edit: txt_able switches it. Display: always disabled. Fixed: txt_able never touches it.
    enum class Access { Edit, Display, Fixed };
    enum class SwitchRange { None, Used, Unused };

    struct Bound {
        double lo, hi;
    };
    // CheckData's view of a control: the numeric pass, the bound pass, and the rounding of
    // halves to even with its own bound, after which the integer text is written back.
    struct Check {
        bool numeric = false;
        std::optional<Bound> bound;
        std::optional<Bound> rounded;
    };

    // One control per channel row.
    struct Column {
        QString name;          // control array: element k is "name(k)"
        Kind kind = Kind::Text;
        QString head;          // caption of the head label over the column
        QString headName;      // its name ("lblZScale01")
        QString hint;          // text under each cell
        QString hintName;      // hint label array ("lblZScale")
        QString unitName;      // unit label array after each cell ("lblZBase_Unit")
        int slot = 0;          // ChParam slot 1..6 shown in the cell; 0 for none
        Place place = Place::View1;
        Access access = Access::Edit;
        bool written = false;  // the slot goes back to the unit on Download
        Check check;
        int width = 76;
        QStringList items;     // a list's entries, refilled by Init
        QStringList names;     // per-row names where the page has no control array
        QStringList hintNames;
        QStringList unitNames;
        QString unitText;      // design text of the unit labels
        QString caption;       // a button's caption
        bool readOnly = false; // a text cell that only shows (an indicator), never typed into
    };

    // An item of the channel group besides the slots: read in Init after the slots, written
    // in Download after the slots, in declaration order. An item left empty is a step of the
    // page's own between those reads: show runs (with an empty value) without an exchange.
    struct ChannelItem {
        QString item;
        bool readSelect = false;  // read with the channel group selected, or inquired
        bool writeSelect = false; // written with the channel group selected, or as data only
        OnEmpty onEmpty = EndSilently;
        std::function<void(int k, const QString &value)> show; // the part after the colon; null: not read
        std::function<std::optional<QString>(int k)> data;       // null: never written; nullopt: skipped
        std::function<bool()> applies;                           // null: always; else only while it holds
        QString control; // the control array written from: element k is the channel's
    };

    // A module item besides the switch range and the output hold, read in Init after them and
    // written in Download after the output hold, always with its group selected.
    struct ModuleItem {
        QString group, item;
        OnEmpty onEmpty = EndSilently;
        std::function<void(const QString &value)> show;
        std::function<std::optional<QString>()> data;
        QString control; // the control written from
    };

    struct Decl {
        int rows = 4;
        int views = 2;           // 1: one view, no view buttons
        QString set1Caption = QStringLiteral("Setting 1");
        QString set2Caption = QStringLiteral("Setting 2");
        int rowsPerView = 0;     // 0: every row on every view; n: rows 0..n-1 on view 1, then view 2
        bool extDisplay = true;
        std::optional<Place> hold; // the output hold frame and where it sits
        SwitchRange switchRange = SwitchRange::None;
        QList<Column> columns;
        QList<int> readSlots = {1, 2, 3, 4, 5, 6};
        const QStringList *unitTable = nullptr; // unit labels by switch range (and by channel range at 15)
        QString fixedUnit;                      // or the one unit every channel shows
        QList<ModuleItem> moduleItems;
        QList<ChannelItem> channelItems; // in the order Init reads them
        QStringList writeOrder;          // items in the order Download writes them, where that differs
        int firstLiveItem = 21;
        bool liveFollowsChCount = false; // live values of ChCount channels, else of every row
        bool readExtension = true;       // ReadingData reads the extension points
        bool failWithoutChannels = false; // CheckData is false when there is no channel
        int liveCellsPerRow = 4;
        bool viewsOpenInInit = false;  // the view buttons stay usable while Init runs
        bool itemsBeforeSlots = false; // Download writes the channel items first, then every slot as data
        bool framesBelow = false;      // a view's frames stand under its columns, not beside them
    };

    ScalingPage(const QString &name, int modelnum, QWidget *parent = nullptr);

    co::Task<> ReadingData() override;
    bool CheckData() override;
    void txt_able(bool enable) override;
    void cmdSet1_Click() override;
    void cmdSet2_Click() override;

    int switchRange() const { return m_switchRange; }

    // Controls of the declaration, by name.
    QVector<QWidget *> column(const QString &name) const { return m_columns.value(name); }
    template <class T> T *cell(const QString &name, int k) const {
        return qobject_cast<T *>(m_columns.value(name).value(k));
    }
    template <class T> QVector<T *> columnOf(const QString &name) const {
        QVector<T *> out;
        for (QWidget *w : m_columns.value(name)) out.append(qobject_cast<T *>(w));
        return out;
    }
    QLineEdit *text(const QString &name, int k) const;
    QComboBox *list(const QString &name, int k) const;

    // The controls every page of the family has (empty where a page lacks them).
    QGroupBox *fraSetModel = nullptr;
    QPushButton *cmdSet1 = nullptr, *cmdSet2 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QLabel *lblV_Unit = nullptr;
    QVector<QLineEdit *> txtParData;
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
    // The six slot columns of the analog pages, with their heads, hints, bounds and rounding.
    static Column ZeroScale();
    static Column FullScale();
    static Column BiasColumn();
    static Column GainColumn();
    static Column ZeroBase();
    static Column FullBase();
    static QList<Column> SlotColumns();
    // A per-channel control that is not a slot.
    static Column ExtraColumn(const QString &name, const QString &head, const QString &headName, Place place,
                              Kind kind = Kind::Text);
    // Items exchanged besides the slots: of the channel group, or of a module group.
    static ChannelItem ChannelRead(const QString &item, bool readSelect, const OnEmpty &onEmpty);
    static ModuleItem ModuleRead(const QString &group, const QString &item, const OnEmpty &onEmpty);
    // The per-channel range list cmbUserRange with its head Label12.
    static Column RangeColumn(Place place, const QString &head, const QStringList &items);
    // The range index item "09": selected in cmbUserRange, the unit labels follow it when the
    // switch range is 15, and Download writes it back.
    ChannelItem rangeItem(bool select, const OnEmpty &onEmpty);

    // Builds the page from its declaration; called once from the page's constructor.
    void build(const Decl &d);
    const Decl &decl() const { return m_decl; }

    // A module frame of the page's own, placed at the right of a view (or in the Value frame).
    QGroupBox *addFrame(const QString &name, const QString &caption, Place place);
    // A block of the page's own under the rows of a view.
    QWidget *addBlock(const QString &name, Place place);
    // A module control txt_able switches (Edit) or keeps disabled (Display), and its check.
    void addModuleControl(QWidget *control, Access access, const Check &check);
    void addModuleControl(QWidget *control, Access access) { addModuleControl(control, access, Check{}); }

    // The operations the declaration gives; the pages' named Init and Download call them.
    co::Task<> scalingInit();
    co::Task<> scalingDownload();
    // Init's and Download's openings and closing, for pages with steps of their own.
    co::Task<> beginInit();
    void endInit();
    void beginDownload();
    co::Task<> readModuleItems();
    co::Task<> readChannel(int ch);
    // readChannel for every channel row, advancing the progress bar after each.
    co::Task<> readChannels();
    co::Task<> writeChannel(int ch);
    // The channel's items; selectFirst: the first written selects the group. True when any was written.
    co::Task<bool> writeChannelItems(int ch, bool selectFirst);
    co::Task<> writeModuleItems();

    int channelRows() const { return ChannelRows(m_decl.rows); }
    void setUnitLabels(int k, const QString &unit);
    co::Task<> readLiveValues();
    co::Task<> readExtension();

    ViewSwitch m_views;
    std::unique_ptr<HoldFrame> m_hold;

private:
    struct ModuleControl {
        QWidget *control;
        Access access;
        Check check;
    };
    void buildValueFrame();
    void buildView(int v, QGroupBox *frame);
    QList<int> rowsOfView(int v) const;
    bool onView(const Column &c, int v) const;
    QString nameOf(const Column &c, const QStringList &names, const QString &base, int k) const;
    QWidget *makeCell(const Column &c, QWidget *parent, int k);
    QVBoxLayout *sideOf(Place place);
    void store(const QString &name, int k, QWidget *w);
    void bindMembers();

    Decl m_decl;
    QHash<QString, QVector<QWidget *>> m_columns;
    QList<ModuleControl> m_moduleControls;
    QHash<int, QVBoxLayout *> m_sides; // right-hand frame column of each view (0: Value frame)
    QHash<int, QVBoxLayout *> m_bodies; // the rows of each view and the blocks under them
    int m_switchRange = 0;
};
