// The session's files: Save and Open through the file dialog, a file saved or loaded by name,
// and the one place a loaded file becomes the identity and the pages.
#include "core/Globals.h"
#include "core/PageContract.h"
#include "core/Session.h"
#include "core/Ui.h"
#include "link/TextRoutines.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <cerrno>

namespace {
// A record never comes near this; the rest of a bigger file is not read anyway.
constexpr qint64 MaxFileBytes = 1 << 20;
} // namespace

bool Session::otherModel(const QString &fileModel) {
    return !g.IdentifiedModel.isEmpty() && fileModel != g.IdentifiedModel;
}

co::Task<> Session::commandSave() {
    if (!g.PageShown) co_return co_await MsgBox("No Config Data", "Save Error", MsgIcon::None);
    const QString path = co_await AskSaveFileName(nullptr, ConfigFileFilter, ConfigFilterIndex, ConfigDialogFileName());
    if (path.isEmpty()) co_return;
    ConfigDialogFileName() = path;
    co_await saveFile(path);
}

co::Task<> Session::commandOpen() {
    const QString path = co_await AskOpenFileName(nullptr, ConfigFileFilter, ConfigFilterIndex, ConfigDialogFileName());
    if (path.isEmpty()) co_return;
    ConfigDialogFileName() = path;
    co_await openFile(path);
    // While monitoring, Download stays off with the rest of the command row.
    if (g.Connected && !g.Monitoring) setButton(Download, true);
}

QByteArray Session::configBytes(QString *error) {
    QString e;
    const QByteArray bytes = m_pages ? m_pages->buildConfig(&e) : QByteArray();
    if (bytes.isEmpty() && error) *error = e.isEmpty() ? QStringLiteral("There are no pages to save from.") : e;
    return bytes;
}

co::Task<bool> Session::saveFile(QString path, QString *error) {
    auto fail = [error](QString description) -> co::Task<bool> {
        if (error) *error = description;
        else co_await MsgBox(description, "Open Error", MsgIcon::Critical);
        co_return false;
    };
    QString why;
    const QByteArray bytes = configBytes(&why);
    if (bytes.isEmpty()) co_return co_await fail(why);
    const QString where = QDir::toNativeSeparators(path);
    // The old file is replaced only once every byte of the new one is on the disk.
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) co_return co_await fail(QStringLiteral("%1: %2").arg(where, f.errorString()));
    // The explicit flush matters: after a short write (a disk that fills up) commit() alone
    // would still put the cut file in place of the old one. Its own error text is "Unknown
    // error" then; the system's says what happened.
    errno = 0;
    if (f.write(bytes) != bytes.size() || !f.flush()) {
        const int err = errno;
        const QString reason = err != 0 ? qt_error_string(err) : f.errorString();
        f.cancelWriting();
        co_return co_await fail(QStringLiteral("%1: %2").arg(where, reason));
    }
    if (!f.commit()) co_return co_await fail(QStringLiteral("%1: %2").arg(where, f.errorString()));
    co_return true;
}

co::Task<bool> Session::openFile(QString path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        co_await MsgBox(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), f.errorString()), AppTitle,
                        MsgIcon::Critical);
        co_return false;
    }
    co_return co_await loadConfig(f.read(MaxFileBytes));
}

co::Task<bool> Session::loadConfig(QByteArray bytes) {
    QString error;
    std::unique_ptr<LoadedConfig> loaded = m_pages ? m_pages->readConfig(bytes, &error) : nullptr;
    if (!loaded) {
        co_await MsgBox(error, AppTitle, MsgIcon::Critical);
        co_return false;
    }
    const QString model = loaded->identity.model;
    if (g.Connected && otherModel(model)) {
        const bool anyway = co_await AskYesNo(
            QStringLiteral("The file is for %1; the connected unit is %2. Load anyway?").arg(model, g.IdentifiedModel),
            AppTitle);
        if (!anyway) co_return false;
    }
    applyLoaded(*loaded);
    co_return true;
}

// The one place a loaded file becomes the identity and the pages: identity first, then the
// page, then the network page.
void Session::applyLoaded(LoadedConfig &loaded) {
    const FileIdentity &id = loaded.identity;
    g.UnitModel = id.model;
    g.VersionText = id.versionText;
    g.ChCount = id.chCount;
    emit modelChanged(id.model);
    g.modelnum = id.modelnum;
    g.SubTyp = id.subTyp;
    SetNetType(id.model);
    emit versionChanged(id.versionText);
    g.NewFirmware = !IsKnownVersion(AfterColon(id.versionText));
    g.ExtChCount = 0;
    g.ExtType.clear();
    showExtension();
    g.ActivePage = id.modelnum;
    if (loaded.hasPage()) {
        loaded.applyPage();
        ShowPage(id.modelnum);
    }
    loaded.applyNetwork();
    if (id.recordSubTyp) g.SubTyp = *id.recordSubTyp;
    // A network page created while the file was checked saw the identity before it.
    if (NetUnitPage *n = m_pages ? m_pages->netPage(g.NetTyp) : nullptr) n->followIdentity();
    tellState();
}
