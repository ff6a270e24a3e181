#pragma once
// The G / I / D line protocol and its retry rules. Failure is the empty text.
#include <QString>

QString ReadItem(const QString &group, const QString &item);
QString InquireItem(const QString &item);
QString WriteItem(const QString &group, const QString &item, const QString &data);
QString WriteData(const QString &item, const QString &data);

// count 3 means at most four attempts; CNG and NEEDLESS end the loop at once.
QString ReadItemRetry(int count, const QString &group, const QString &item);
QString InquireItemRetry(int count, const QString &item);
QString WriteItemRetry(int count, const QString &group, const QString &item, const QString &data);
QString WriteDataRetry(int count, const QString &item, const QString &data);
