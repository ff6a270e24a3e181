#include "tools/SaveAs.h"
#include "core/Ui.h"

#include <QPointer>
#include <QSaveFile>
#include <QWidget>

bool WriteWhole(const QString &path, const QByteArray &bytes) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

co::Task<bool> SaveAs(QWidget *parent, QString filter, QString name, std::function<QByteArray()> contents,
                      QString failText) {
    const QPointer<QWidget> view(parent);
    const QString path = co_await AskSaveFileName(parent, filter, 1, name);
    if (path.isEmpty() || !view) co_return false;
    if (WriteWhole(path, contents())) co_return true;
    co_await MsgBox(failText.arg(path), AppTitle, MsgIcon::Critical);
    co_return false;
}
