#pragma once

#include <QStringList>

class QTextStream;

// The commands of dwlog: import, adif, list, countries. Returns the exit status:
// 0 done (converting nothing is done too), 2 bad input.
int runDwlog(const QStringList &arguments, QTextStream &out, QTextStream &err);

QString dwlogHelp();
