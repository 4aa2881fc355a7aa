#pragma once
#include "host/Batch.h"
#include "host/BatchDialogs.h"
#include <QString>
#include <memory>

class CGlobal;
class ctlVevAre;

// The screen of one command-line run, without a window: boxes answered from the
// options, every box and log row printed to standard output in the order they
// happened, and the transactions the run committed counted.
class BatchRun {
public:
    BatchRun(CGlobal& global, const BatchOptions& options);
    ~BatchRun();

    ctlVevAre& screen() { return *m_screen; }
    BatchDialogs& dialogs() { return m_dialogs; }
    // Prints the log rows not printed yet.
    void flush();
    // Transactions committed on the host connection since the run began, and those whose
    // outcome the lost connection left unknown.
    int commits() const;
    int commitIgnoti() const;

    static void out(const QString& line);
    static void err(const QString& line);

private:
    CGlobal& m_global;
    int m_commitsBefore;
    int m_ignotiBefore;
    int m_printed = 0;
    bool m_prova;
    BatchDialogs m_dialogs;
    std::unique_ptr<ctlVevAre> m_screen;
};
