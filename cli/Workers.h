#pragma once
// Several units at once: a worker process per unit, each result printed as its unit finishes,
// progress on a terminal while they run, monitoring rows with their port, one CSV file for all.
#include "cli/Options.h"

#include <memory>

class WorkerSet {
public:
    // `file`: what the workers read as FILE (a copy of standard input where the file was "-").
    WorkerSet(const CliOptions &options, const QString &file);
    ~WorkerSet();
    // Starts every worker; true while some run (the program's loop then runs until they end).
    bool start();
    // The summary, and the exit status: the worst of the units'.
    int finish();

private:
    class Parent;
    std::unique_ptr<Parent> m_parent;
};
