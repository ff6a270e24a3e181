#pragma once
// A view's Save and Export (the log, the trend): where, chosen in the file dialog, and the file
// written whole. They open beside a running command and hold nothing up.
#include "link/Task.h"

#include <QByteArray>
#include <QString>
#include <functional>

class QWidget;

// The file as it is when the dialog has closed; a file that cannot be written is said in a box
// (failText takes the path as %1) and the old one stays. True when written.
co::Task<bool> SaveAs(QWidget *parent, QString filter, QString name, std::function<QByteArray()> contents,
                      QString failText);
// Every byte or nothing: the old file is replaced only once the new one is whole.
bool WriteWhole(const QString &path, const QByteArray &bytes);
