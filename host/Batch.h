#pragma once
#include <QString>
#include <QStringList>

class CGlobal;

// What a run without a window is told on the command line.
struct BatchOptions {
    QString workingFolder;  // empty: the product's "WorkingFolder" setting
    QString company;
    QString year;
    QString month;
    QString rate;
    bool rateSet = false;
    bool answerYes = false;  // the answer to every Yes/No question
    QStringList inputs;      // answers to the input boxes, in order
    QString file;            // the answer to the file dialog (empty: cancelled)
    QStringList files;       // filings and folders of filings for the XBRL import
    bool prova = false;      // run everything, then undo it: commits are printed as "PROVA ..."
    QString period;          // the period number of the stored-period commands
};

namespace Batch {
// Runs the save command on the screen without a window, printing every box and log
// row to standard output. Returns 0 when the import committed, 1 when it did not, 2
// when the company, year or month cannot be chosen.
int save(CGlobal& global, const BatchOptions& options);
// Runs the XBRL import of options.files (folders give their *.xbrl files, recursively,
// in name order), each file in its own transaction, printing "FILE path\tcompany\tyears\t
// outcome" as each ends. Returns 0 when every file was saved, 1 when none was, 3 when
// some were.
int importaXbrl(CGlobal& global, const BatchOptions& options);
// Runs the automatic import of the Kadro export (or, with cee, of the CEE balance export)
// the same way; every committed group is printed as "SALVATO ...", and the run ends with
// its summary rows. Returns 0 when every group committed and the run reached its end, 1
// when no group committed, 3 when some did and some did not (or the run ended early).
int importaEsportazione(CGlobal& global, const BatchOptions& options, bool cee);

// The stored periods of options.company and options.year (every one when not given), one
// tab-separated line each. Returns 0 when some were listed, 1 when none, 2 for an unknown
// company.
int elencaPeriodi(CGlobal& global, const BatchOptions& options);
// Deletes the period of options.company, year, month and period in one transaction and
// prints "ELIMINATO company\tyear\tmonth\tperiod\tvalues" ("PROVA ..." in a trial run, which
// deletes nothing). Returns 0 when deleted, 1 when the database refused, 2 when the period
// cannot be chosen.
int eliminaPeriodo(CGlobal& global, const BatchOptions& options);
// Writes that period's values to a CSV file and prints "ESPORTATO file\tvalues". Returns 0
// when written, 1 when the file could not be written, 2 when the period cannot be chosen.
int esportaPeriodo(CGlobal& global, const BatchOptions& options, const QString& file);
}  // namespace Batch
