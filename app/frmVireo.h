#pragma once
#include <QMainWindow>

class Link;

class frmVireo : public QMainWindow {
    Q_OBJECT
public:
    explicit frmVireo(QWidget *parent = nullptr);
    ~frmVireo() override;
    Link &link() { return *m_link; }

private:
    Link *m_link;
};
