#include "cli/TextUi.h"

#include <cstdio>
#include <unistd.h>

TextUi::TextUi(const QString &label, bool quiet, int extensionPoints)
    : m_label(label), m_progress(!quiet && isatty(fileno(stderr))), m_points(extensionPoints) {}

co::Task<> TextUi::message(QString text, QString title, MsgIcon icon) {
    messages.append({text, title, icon});
    closeProgress();
    QString flat = text;
    flat.replace("\r\n", " ").replace('\r', ' ').replace('\n', ' ');
    std::fprintf(stderr, "%s: %s: %s\n", qPrintable(m_label), qPrintable(title.trimmed()), qPrintable(flat.trimmed()));
    co_return;
}

co::Task<bool> TextUi::question(QString text, QString title) {
    const QString line = text + (m_yes ? " Yes." : " No.");
    co_await message(line, title, MsgIcon::None);
    co_return m_yes;
}

co::Task<int> TextUi::chooseExtension(QString) {
    if (m_points == 16 || m_points == 8) co_return m_points;
    extensionUnanswered = true;
    if (onExtensionUnanswered) onExtensionUnanswered();
    co_return 0;
}

void TextUi::showProgress(const QString &caption, int maximum) {
    m_caption = caption;
    m_maximum = maximum;
    progressLine(0);
}

void TextUi::setProgress(int value) { progressLine(m_maximum > 0 ? 100 * value / m_maximum : 0); }

void TextUi::closeProgress() {
    if (!m_lineOpen) return;
    std::fprintf(stderr, "\n");
    m_lineOpen = false;
}

void TextUi::progressLine(int percent) {
    if (onProgress) return onProgress(m_step, std::min(percent, 100));
    if (!m_progress) return;
    std::fprintf(stderr, "\r%s: %s: %s %3d%%", qPrintable(m_label), qPrintable(m_step), qPrintable(m_caption),
                 std::min(percent, 100));
    std::fflush(stderr);
    m_lineOpen = true;
}
