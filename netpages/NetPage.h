#pragma once
// Shared skeleton of the network base unit pages: the presence read of item "01",
// the key write, the upload/download sequence over a page's items, button states,
// colours, the failure messages and the time-out check. Each page adds its controls
// and describes its items as data.
#include "core/PageContract.h"

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPushButton>
#include <QString>
#include <functional>
#include <optional>

class QGridLayout;
class QVBoxLayout;

class NetPage : public QDialog, public NetUnitPage {
    Q_OBJECT
public:
    // Runs the page's load steps once; later calls do nothing.
    void Form_Load();

    co::Task<> btnUpload_Click() override;
    // The writes, then the read-back and its verification.
    co::Task<> btnDownload_Click();
    co::Task<Outcome> writeToUnit() override;
    // Modal over its window, through the seam.
    co::Task<> showModal() override;
    co::Task<> btnExit_Click();
    // The network time-out check shared by the pages that have txtTimeout.
    void txtTimeout_Change();
    // followIdentity: what the page shows for the identity in the globals (a unit's, or a loaded
    // file's), whenever the page was created.

    QPushButton *btnUpload = nullptr;
    QPushButton *btnDownload = nullptr;
    QPushButton *btnExit = nullptr;
    QLineEdit *txtTimeout = nullptr;

protected:
    // Every exchange of these pages: group "00", up to four attempts.
    static constexpr int Count = 3;
    static inline const QString Group = QStringLiteral("00");

    // One item of group "00": how a reply is shown and what a download writes.
    struct NetField {
        QString item;
        std::function<void(const QString &reply)> show; // null: not read
        std::function<std::optional<QString>()> data;   // null: never written; nullopt: skipped this time
        const QWidget *control = nullptr;                // the control written from
    };

    NetPage(const QString &name, const QString &caption, QWidget *parent);

    // The page's items in upload order; downloads write those with data in the same order.
    virtual QList<NetField> fields() const { return {}; }
    // Message for an empty required box at download, or the empty text.
    virtual QString emptyBoxMessage() const;
    virtual void load();

    // Field builders for the common cases; values are taken after the first colon.
    static NetField textField(const QString &item, QLineEdit *box, bool written = true);
    // A list reply selects the index of its text in matches, or fallback; writes the index.
    static NetField listField(const QString &item, QComboBox *list, const QStringList &matches, int fallback);

    // Page body (above the button row) and helpers that keep the pages alike.
    QVBoxLayout *body() const { return m_body; }
    QGroupBox *addTimeoutFrame(QVBoxLayout *into, const QString &unitCaption);
    static QGridLayout *grid(QWidget *parent);

    void setButtons(bool enable);
    // Grey while a value control holds nothing uploaded or a download runs, white otherwise.
    static void paint(QWidget *control, bool white);
    static void paintAll(const QList<QWidget *> &controls, bool enable, bool white);
    co::Task<> uploadFailed();
    co::Task<> downloadFailed();
    // A Download's writes: the presence read, the boxes' check, the key and the items. False
    // when it ended before writing the items (it said why); `refusal` is the boxes' message.
    virtual co::Task<bool> writeSettings(QString *refusal);
    bool m_uploadOk = false; // the last upload read every item
    static co::Task<bool> writeKey(QString key);

    // Controls the upload makes editable and white; shownOnly stay as the load left them.
    QList<QWidget *> m_values;
    QList<QWidget *> m_shownOnly;
    QString m_uploadKey = "1"; // empty: no write of "01" during upload
    QString m_downloadKey = "1";
    bool m_downloadAfterFailedUpload = false;

    void reject() override;

    // Set while an upload or download talks to the unit.
    bool m_busy = false;

private:
    QVBoxLayout *m_body = nullptr;
    bool m_loaded = false;
};
