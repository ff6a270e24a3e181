#include "core/Identify.h"
#include "core/Globals.h"
#include "link/TextRoutines.h"

#include <QList>
#include <utility>

bool IsProtocolAnswer(const QString &reply) { return reply.isEmpty() || reply == "CNG" || reply == "NEEDLESS"; }

void ClassifyModel(const QString &code) {
    g.SubTyp = 0;
    const QChar c3 = code.size() >= 3 ? code.at(2) : QChar();
    const QChar c4 = code.size() >= 4 ? code.at(3) : QChar();
    const QString two = code.left(2);
    const QString four = code.left(4);
    auto pick = [](const QString &key, std::initializer_list<std::pair<const char *, int>> table) {
        for (const auto &[name, num] : table)
            if (key == QLatin1String(name)) return num;
        return 99;
    };
    if (c4 == '6') g.modelnum = pick(two, {{"KO", 5}, {"KI", 6}, {"NX", 10}});
    else if (c4 == 'R') g.modelnum = 9;
    else if (c4 == 'H') g.modelnum = 25;
    else if (c3 == '2') g.modelnum = pick(two, {{"WB", 3}, {"WC", 4}, {"NX", 17}, {"GZ", 21}});
    else if (c3 == '8') g.modelnum = pick(two, {{"NX", 14}, {"HM", 16}});
    else if (c3 == 'W') {
        g.modelnum = pick(four, {{"QBW4", 0}, {"QBW8", 18}});
        if (four == "QBW4") g.SubTyp = 4;
    } else if (c3 == '4') {
        g.modelnum = pick(four, {{"QX4V", 8}, {"WB4Y", 19}, {"QZ4U", 24}});
        if (g.modelnum == 99) {
            g.modelnum = pick(two, {{"QB", 0}, {"QK", 1}, {"QW", 2}, {"QJ", 7}, {"QH", 11}, {"WB", 12}, {"WC", 13}});
            g.SubTyp = two == "QB" ? 1 : two == "QK" ? 2 : two == "QW" ? 3 : 0;
        }
    } else if (c4 == 'W') g.modelnum = 15;
    else if (c4 == '1') g.modelnum = 20;
    else g.modelnum = 99;
}

ModelKind KindOfModel(const QString &model, int otherwise) {
    if (model == "K5VS-GZ2") return {22, 0};
    if (model == "K5N-NX8") return {23, 0};
    const int keepModel = g.modelnum, keepSub = g.SubTyp;
    g.modelnum = otherwise;
    ClassifyModel(AfterDash(model));
    const ModelKind k{g.modelnum, g.SubTyp};
    g.modelnum = keepModel;
    g.SubTyp = keepSub;
    return k;
}

NetKind NetKindOf(const QString &model) {
    static const NetKind rows[] = {
        {0, "CC-Link", 10, false},   {1, "DeviceNet", 10, false}, {2, "Modbus", 10, false},
        {3, "MECHATROLINK", 9, false}, {4, "Ethernet", 9, false}, {5, "FL-Remote", 9, false},
        {6, "HLS", 10, true},        {7, "FLEX NETWORK", 9, true},
    };
    static const char *const prefixes[] = {"K5A-", "K5B-", "K5G-", "K5GT", "K5N-", "K5PW", "K5VS", "K5PX"};
    const QString prefix = model.left(4);
    for (int i = 0; i < 8; ++i)
        if (prefix == QLatin1String(prefixes[i])) return rows[i];
    return {};
}
