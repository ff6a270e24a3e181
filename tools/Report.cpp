#include "tools/Report.h"

#include <QPageLayout>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextDocument>
#include <algorithm>
#include <map>

namespace report {

namespace {
QString esc(const QString &s) { return s.toHtmlEscaped(); }

QString table(const QList<Setting> &settings) {
    // Unit-wide settings as caption and value; channel settings as one row per caption and
    // one column per channel, so that four channels stand side by side on one page.
    QString unit, rows;
    QList<int> channels;
    QList<QString> captions;
    std::map<std::pair<QString, int>, QString> cells;
    for (const Setting &s : settings) {
        if (s.channel < 0) {
            unit += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>").arg(esc(s.caption), esc(s.value));
            continue;
        }
        if (!channels.contains(s.channel)) channels.append(s.channel);
        if (!captions.contains(s.caption)) captions.append(s.caption);
        cells[{s.caption, s.channel}] = s.value;
    }
    std::sort(channels.begin(), channels.end());
    QString html;
    if (!unit.isEmpty()) html += "<table cellspacing=0 cellpadding=3 border=1>" + unit + "</table>";
    if (!channels.isEmpty()) {
        html += "<p></p><table cellspacing=0 cellpadding=3 border=1><tr><th align=left>Setting</th>";
        for (int c : channels) html += QStringLiteral("<th>CH %1</th>").arg(c);
        html += "</tr>";
        for (const QString &cap : captions) {
            html += "<tr><td>" + esc(cap) + "</td>";
            for (int c : channels) {
                const auto it = cells.find({cap, c});
                html += "<td>" + (it == cells.end() ? QString() : esc(it->second)) + "</td>";
            }
            html += "</tr>";
        }
        html += "</table>";
    }
    return html.isEmpty() ? QStringLiteral("<p>None.</p>") : html;
}
} // namespace

QList<Setting> Rows(const ::Settings &settings) {
    QList<Setting> out;
    static const QRegularExpression number(QStringLiteral("^CH ([0-9]+|[0-9A-F]+)$"));
    for (const SettingValue &v : settings) {
        // "CH 2" is channel 2 ("CH A" of a sixteen-point page, 10); "CH 0/1" names a pair.
        const QRegularExpressionMatch m = number.match(v.channel);
        bool decimal = false;
        const int dec = m.hasMatch() ? m.captured(1).toInt(&decimal) : -1;
        const int channel = !m.hasMatch() ? -1 : decimal ? dec : m.captured(1).toInt(nullptr, 16);
        const QString caption = m.hasMatch() || v.channel.isEmpty() ? v.caption : v.channel + ' ' + v.caption;
        out.append({caption, channel, v.shown});
    }
    // An address kept in boxes of its parts ("IP address, part 1" ...) reads as one: 192.168.0.10.
    static const QRegularExpression part("^(.*), part (\\d+)$");
    QList<Setting> joined;
    for (int i = 0; i < out.size();) {
        const QRegularExpressionMatch m = part.match(out[i].caption);
        if (!m.hasMatch()) {
            joined.append(out[i++]);
            continue;
        }
        std::map<int, QString> parts;
        int j = i;
        for (; j < out.size(); ++j) {
            const QRegularExpressionMatch n = part.match(out[j].caption);
            if (!n.hasMatch() || n.captured(1) != m.captured(1) || out[j].channel != out[i].channel) break;
            parts[n.captured(2).toInt()] = out[j].value;
        }
        QStringList values;
        for (const auto &[k, v] : parts)
            values << v;
        joined.append({m.captured(1), out[i].channel, values.join('.')});
        i = j;
    }
    return joined;
}

QString Html(const Contents &c) {
    QString html = "<html><body><h2>" + esc(c.title) + "</h2><table cellspacing=0 cellpadding=2>";
    for (const auto &[caption, text] : c.facts)
        html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(esc(caption), esc(text));
    html += "</table><h3>Settings</h3>" + table(c.io);
    if (!c.netTitle.isEmpty()) html += "<h3>" + esc(c.netTitle) + "</h3>" + table(c.net);
    return html + "</body></html>";
}

bool WritePdf(const QString &path, const Contents &c) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(c.title);
        pdf.setCreator(QStringLiteral("VIREO"));
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                      QPageLayout::Millimeter));
        QTextDocument doc;
        QFont f = doc.defaultFont();
        f.setPointSizeF(9);
        doc.setDefaultFont(f);
        doc.setHtml(Html(c));
        doc.print(&pdf);
    }
    return file.commit();
}

} // namespace report
