#pragma once
#include "netpages/NetPage.h"

#include <array>

class QLabel;

class frmEthernet final : public NetPage {
    Q_OBJECT
public:
    explicit frmEthernet(QWidget *parent = nullptr);

    co::Task<> btnUpload_Click() override;
    void EnableControls(bool enable);

    void txtTimeout_Change(int index);
    void txtIP_Change(int index);
    void txtSNM_Change(int index);
    void txtDGW_Change(int index);
    void txtPort_Change(int index);

    // Index 3 holds the first part of the dotted text, index 0 the last.
    std::array<QLineEdit *, 4> txtIP{};
    std::array<QLineEdit *, 4> txtSNM{};
    std::array<QLineEdit *, 4> txtDGW{};
    QLabel *Label1 = nullptr;
    std::array<QLabel *, 2> lblMac{};
    // Index 0 is the network time-out, 1 to 4 the sockets' linger timers.
    std::array<QLineEdit *, 5> txtTimeout{};
    // Sockets 1 to 4; index 0 is unused.
    std::array<QLineEdit *, 5> txtPort{};

protected:
    QString emptyBoxMessage() const override;
    co::Task<bool> writeSettings(QString *refusal) override;
    void load() override;

private:
    using Address = std::array<QLineEdit *, 4>;
    QWidget *addressRow(const QString &name, const QString &accessible, Address &boxes,
                        void (frmEthernet::*check)(int));
    void showGateway(const QString &versionReply);
    static void showAddress(const Address &boxes, const QString &reply);
    static QString dotted(const Address &boxes);
    void octetChange(QLineEdit *box);
    static void plainChange(QLineEdit *box);

    QWidget *m_gatewayRow = nullptr;
    bool m_gateway = false;
};
